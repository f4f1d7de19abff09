#include "platform/win32/WindowsApi.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/EnvironmentExpansion.h"

namespace hv {

std::optional<std::string> ExpandEnvironmentStrings(std::string_view text) {
  const std::string source(text);
  // Start with the classic 256 characters and grow to the size the system asks for, so a
  // long expansion is never cut off.
  std::vector<char> buffer(256);
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD needed =
        ExpandEnvironmentStringsA(source.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (needed == 0) {
      return std::nullopt;
    }
    if (needed <= buffer.size()) {
      // The ANSI count may include room the text did not take; the NUL ends it.
      return std::string(buffer.data(), strnlen(buffer.data(), needed));
    }
    buffer.resize(needed);
  }
  return std::nullopt;
}

}  // namespace hv
