#include "platform/win32/MozillaProfiles.h"

#include "platform/EnvironmentExpansion.h"
#include "platform/FileSystem.h"

namespace hv {

BrowserProfileList MozillaProfiles::Profiles() {
  BrowserProfileList list;
  const auto root = ExpandEnvironmentStrings("%AppData%\\Mozilla\\Profiles\\");
  // Without an application-data folder there is no profile folder either.
  if (!root || root->starts_with('%')) {
    return list;
  }
  if (NativeFileSystem().FindEntry(root->substr(0, root->size() - 1))) {
    list.installs.push_back({"Mozilla", BrowserFamily::kFirefox, "", *root});
  }
  // A linked folder is not offered: the deletion would not follow the link anyway.
  for (const FolderEntry& entry : NativeFileSystem().ListFolder(*root)) {
    if ((entry.attributes & FileAttribute::kDirectory) != 0 &&
        (entry.attributes & FileAttribute::kReparsePoint) == 0) {
      list.profiles.push_back({"Mozilla", BrowserFamily::kFirefox, "", entry.name,
                               *root + entry.name + kPathSeparator, ""});
    }
  }
  return list;
}

}  // namespace hv
