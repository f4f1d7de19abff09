#include "platform/ExecutableName.h"

#include <errno.h>

#include <filesystem>
#include <system_error>

namespace hv {

std::string ExecutableName() {
  std::error_code error;
  std::string name = std::filesystem::read_symlink("/proc/self/exe", error).filename().string();
  if (error || name.empty()) {
    name = program_invocation_short_name;
  }
  // A program replaced while it runs still names itself, not its link's annotation.
  constexpr std::string_view kDeleted = " (deleted)";
  if (name.ends_with(kDeleted)) {
    name.erase(name.size() - kDeleted.size());
  }
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) {
    name.erase(dot);
  }
  return name;
}

std::string ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : program.parent_path().string();
}

}  // namespace hv
