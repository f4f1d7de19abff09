#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/CleanCommand.h"
#include "cli/Cleaners.h"
#include "cli/FileCommands.h"

namespace hv::cli {

// The --windows / --web pair of a command; neither chooses the default.
struct CleanerChoice {
  bool windows = false;
  bool web = false;

  void AddTo(CLI::App& command);
  const Cleaner& Chosen() const { return web ? kWebCleaner : kWindowsCleaner; }
};

// Where a File Protection command takes its password from, when not from the terminal.
struct PasswordChoice {
  std::string file;
  int descriptor = -1;
  std::string refusedValue;
  CLI::Option* refused = nullptr;

  void AddTo(CLI::App& command);
  // Throws CommandError (usage) when a password was given as an argument.
  void RefuseArgument() const;
  // The password from the file or descriptor; nullopt for the terminal's.
  std::optional<std::string> Read() const;
};

// The program's commands and their options; parsing the command line chooses one.
class CommandLine {
 public:
  CommandLine();
  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;

  // Parses the arguments and runs the command they name; returns the exit status.
  // CommandError and other exceptions of the command pass on to the caller.
  int Run(int argc, char** argv);

 private:
  void AddList();
  void AddRuns();
  void AddPresets();
  void AddFileCommands();

  CLI::App app_;
  std::string config_;
  std::function<int()> command_;  // what the parsed command line asks for
  bool json_ = false;
  CleanerChoice cleaner_;
  CleanRequest request_;
  bool wipe_ = false;
  bool noWipe_ = false;
  std::string name_;
  std::vector<std::string> keys_;
  FileRequest files_;
  PasswordChoice passwords_[2];  // encrypt's and decrypt's options
};

}  // namespace hv::cli
