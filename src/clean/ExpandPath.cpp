#include "clean/ExpandPath.h"

#include <strings.h>

#include <vector>

#include "platform/EnvironmentExpansion.h"
#include "platform/RegistryBackend.h"
#include "registry/cRegistry.h"

namespace hv {
namespace {

// Replaces every occurrence of what, in any letter case, from the left; replaced text is
// not searched again.
std::string ReplaceIgnoringCase(const std::string& text, const std::string& what,
                                const std::string& with) {
  if (what.empty() || what.size() > text.size()) {
    return text;
  }
  std::string result;
  size_t position = 0;
  while (position < text.size()) {
    if (position + what.size() <= text.size() &&
        strncasecmp(text.data() + position, what.data(), what.size()) == 0) {
      result += with;
      position += what.size();
    } else {
      result += text[position++];
    }
  }
  return result;
}

}  // namespace

std::string ExpandPath(const std::string& path) {
  // The whole text is expanded, however long; text the system cannot expand is kept.
  std::string expanded = ExpandEnvironmentStrings(path).value_or(path);

  cRegistry registry;
  registry.ClassKey(kHkeyCurrentUser);
  registry.SectionKey(kShellFoldersKey);
  std::vector<std::string> names;
  int32_t count = 0;
  if (!registry.EnumerateValues(names, count) || count == 0) {
    return expanded;
  }
  for (const std::string& name : names) {
    registry.ValueKey(name);
    expanded = ReplaceIgnoringCase(expanded, "%" + name + "%", VariantText(registry.Value()));
  }
  return expanded;
}

}  // namespace hv
