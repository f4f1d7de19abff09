#include "platform/posix/FirefoxProfiles.h"

#include <filesystem>

namespace hv {

std::string FirefoxProfiles::ProfileRoot() {
  return FirefoxProfileRoot(folders_ ? *folders_ : BrowserFolders::ForCurrentUser());
}

std::vector<std::string> FirefoxProfiles::ProfileNames() {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  const std::string root = ProfileRoot();
  if (root.empty()) {
    return names;
  }
  // A linked folder is not offered: the deletion would not follow the link anyway.
  for (const fs::path& folder : RealSubFolders(root)) {
    std::error_code error;
    if (fs::exists(folder / "prefs.js", error) || fs::exists(folder / "times.json", error)) {
      names.push_back(folder.filename().string());
    }
  }
  return names;
}

}  // namespace hv
