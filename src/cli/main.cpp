// hushvault-cli: the cleaners, their presets and File Protection, for scripts and
// scheduled runs; the engine alone, without a window.
#include <iostream>

#include "cli/CommandError.h"
#include "cli/CommandLine.h"

int main(int argc, char** argv) {
  try {
    hv::cli::CommandLine commandLine;
    return commandLine.Run(argc, argv);
  } catch (const hv::cli::CommandError& error) {
    std::cerr << "hushvault-cli: " << error.what() << std::endl;
    return error.Status();
  } catch (const std::exception& error) {
    std::cerr << "hushvault-cli: " << error.what() << std::endl;
    return hv::cli::ExitStatus::kNothingDone;
  }
}
