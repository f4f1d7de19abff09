#include "platform/posix/browser/FirefoxProfiles.h"

#include <filesystem>

#include "util/NumberedError.h"

namespace hv {
namespace {

constexpr const char* kErrorSource = "Hushvault";
constexpr long kPathFileAccess = 75;

}  // namespace

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
  std::error_code error;
  // A profile kept elsewhere and linked into place is offered too: the user confirms it by
  // name, and the deletion follows no link below it.
  const std::vector<fs::path> folders = SubFolders(root, error);
  if (error && error != std::errc::no_such_file_or_directory) {
    throw NumberedError(kPathFileAccess, kErrorSource,
                        "Path/File access error: '" + root + "' (" + error.message() + ")");
  }
  for (const fs::path& folder : folders) {
    std::error_code missing;
    if (fs::exists(folder / "prefs.js", missing) || fs::exists(folder / "times.json", missing)) {
      names.push_back(folder.filename().string());
    }
  }
  return names;
}

}  // namespace hv
