#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace hv::test {

// What the command line printed and how it ended.
struct CliResult {
  int status = -1;  // the exit status; -1 when it did not exit normally
  std::string out;
  std::string err;
};

// Runs the built hushvault-cli with args in folder, in this process's sandboxed
// environment, with input as its standard input (not a terminal) and descriptor3 readable on
// descriptor 3.
CliResult RunCli(const std::filesystem::path& folder, const std::vector<std::string>& args,
                 const std::string& input = "", const std::string& descriptor3 = "");

}  // namespace hv::test
