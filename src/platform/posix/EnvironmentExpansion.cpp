#include "platform/EnvironmentExpansion.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

extern char** environ;

namespace hv {
namespace {

// Names are matched exactly first; a name written in another letter case still finds a
// variable, as it would on a system whose environment ignores case.
std::optional<std::string> Variable(const std::string& name) {
  if (name.empty()) {
    return std::nullopt;
  }
  if (const char* value = std::getenv(name.c_str())) {
    return std::string(value);
  }
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (equals != nullptr && static_cast<size_t>(equals - *entry) == name.size() &&
        strncasecmp(*entry, name.c_str(), name.size()) == 0) {
      return std::string(equals + 1);
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ExpandEnvironmentStrings(std::string_view text) {
  std::string expanded;
  size_t position = 0;
  while (position < text.size()) {
    const size_t open = text.find('%', position);
    const size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
    if (close == std::string_view::npos) {
      expanded.append(text.substr(position));
      break;
    }
    expanded.append(text.substr(position, open - position));
    if (const auto value = Variable(std::string(text.substr(open + 1, close - open - 1)))) {
      expanded += *value;
      position = close + 1;
    } else {
      // The closing percent sign of an unknown name may open the next reference.
      expanded.append(text.substr(open, close - open));
      position = close;
    }
  }
  return expanded;
}

}  // namespace hv
