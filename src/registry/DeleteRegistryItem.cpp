#include "registry/DeleteRegistryItem.h"

#include <vector>

#include "registry/cRegistry.h"
#include "util/NamePattern.h"
#include "util/NumberedError.h"

namespace hv {

void DeleteRegistryItem(const std::string& pattern, int32_t root, const std::string& keyPath) {
  // An item that names no key would clean the root itself, every top-level key with it:
  // a record with an empty path is taken for a mistake and changes nothing.
  if (keyPath.find_first_not_of('\\') == std::string::npos) {
    return;
  }
  cRegistry registry;
  registry.ClassKey(root);
  registry.SectionKey(keyPath);
  if (pattern == "@") {
    registry.DeleteKey();
    return;
  }
  std::vector<std::string> names;
  int32_t count = 0;
  if (!registry.EnumerateValues(names, count) || count == 0) {
    return;
  }
  for (const std::string& name : names) {
    if (!MatchesPattern(name, pattern)) {
      continue;
    }
    registry.ValueKey(name);
    try {
      registry.DeleteValue();
    } catch (const NumberedError&) {
      // A value that another running copy removed first, or that cannot be removed, is
      // passed over: the other matching values are still cleaned.
    }
  }
}

CleanAction DeleteRegistryItemAction() {
  return [](const CleanItem& item, CleanContext&) {
    DeleteRegistryItem(item.Mask, kHkeyCurrentUser, item.Path);
  };
}

}  // namespace hv
