#include <io.h>

#include "platform/Terminal.h"
#include "platform/win32/WindowsApi.h"

namespace hv {

bool IsTerminal(StandardStream stream) {
  return _isatty(static_cast<int>(stream)) != 0;
}

bool SetInputEcho(bool on) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(input, &mode)) {
    return false;
  }
  mode = on ? mode | ENABLE_ECHO_INPUT : mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT);
  return SetConsoleMode(input, mode) != 0;
}

std::optional<std::string> ReadDescriptor(int descriptor) {
  std::string bytes;
  char buffer[4096];
  for (;;) {
    const int got = _read(descriptor, buffer, sizeof buffer);
    if (got == 0) {
      return bytes;
    }
    if (got < 0) {
      return std::nullopt;
    }
    bytes.append(buffer, static_cast<size_t>(got));
  }
}

}  // namespace hv
