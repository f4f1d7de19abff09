#include "cli/PasswordSource.h"

#include <fstream>
#include <optional>
#include <sstream>

#include "cli/CommandError.h"
#include "crypt/WipeSecret.h"
#include "platform/Terminal.h"

namespace hv::cli {
namespace {

std::string FirstLine(std::string text, const std::string& source) {
  const SecretGuard wipeText(text);
  std::string line = text.substr(0, text.find('\n'));
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  if (line.empty()) {
    throw CommandError(ExitStatus::kNothingDone, source + " holds no password");
  }
  return line;
}

}  // namespace

std::string PasswordFromFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  if (!file) {
    throw CommandError(ExitStatus::kNothingDone,
                       "the password file '" + path + "' could not be read");
  }
  text << file.rdbuf();  // an empty file sets the stream's failure, and holds no password
  std::string bytes = text.str();
  return FirstLine(std::move(bytes), "the password file '" + path + "'");
}

std::string PasswordFromDescriptor(int descriptor) {
  std::optional<std::string> bytes = ReadDescriptor(descriptor);
  const std::string source = "descriptor " + std::to_string(descriptor);
  if (!bytes) {
    throw CommandError(ExitStatus::kNothingDone, source + " could not be read");
  }
  return FirstLine(std::move(*bytes), source);
}

}  // namespace hv::cli
