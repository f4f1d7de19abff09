#pragma once

#include <stdexcept>
#include <string>

namespace hv::cli {

// The exit statuses of the program, for scripts to tell apart.
namespace ExitStatus {
constexpr int kDone = 0;
constexpr int kSomeLeft = 1;     // the report or the messages say what was left, and why
constexpr int kUsage = 2;        // the command line itself is wrong
constexpr int kNothingDone = 3;  // the command could not start its work
}  // namespace ExitStatus

// Ends a command with its exit status; the text goes to standard error.
class CommandError : public std::runtime_error {
 public:
  CommandError(int status, const std::string& message)
      : std::runtime_error(message), status_(status) {}
  int Status() const { return status_; }

 private:
  int status_;
};

}  // namespace hv::cli
