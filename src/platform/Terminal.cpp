#include "platform/Terminal.h"

#include <iostream>

namespace hv {

std::optional<std::string> ReadLineWithoutEcho(const std::function<void()>& showPrompt) {
  const bool echoWasOn = SetInputEcho(false);
  showPrompt();
  std::string line;
  const bool read = static_cast<bool>(std::getline(std::cin, line));
  if (echoWasOn) {
    SetInputEcho(true);
  }
  if (!read) {
    return std::nullopt;
  }
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  return line;
}

}  // namespace hv
