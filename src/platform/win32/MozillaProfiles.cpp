#include "platform/win32/MozillaProfiles.h"

#include "platform/EnvironmentExpansion.h"
#include "platform/FileSystem.h"

namespace hv {

std::string MozillaProfiles::ProfileRoot() {
  const auto root = ExpandEnvironmentStrings("%AppData%\\Mozilla\\Profiles\\");
  // Without an application-data folder there is no profile folder either.
  return root && !root->starts_with('%') ? *root : std::string();
}

std::vector<std::string> MozillaProfiles::ProfileNames() {
  std::vector<std::string> names;
  const std::string root = ProfileRoot();
  if (root.empty()) {
    return names;
  }
  // A linked folder is not offered: the deletion would not follow the link anyway.
  for (const FolderEntry& entry : NativeFileSystem().ListFolder(root)) {
    if ((entry.attributes & FileAttribute::kDirectory) != 0 &&
        (entry.attributes & FileAttribute::kReparsePoint) == 0) {
      names.push_back(entry.name);
    }
  }
  return names;
}

}  // namespace hv
