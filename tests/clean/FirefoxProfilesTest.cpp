#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "platform/posix/FirefoxProfiles.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;
using Names = std::vector<std::string>;

class FirefoxProfilesTest : public testing::Test {
 protected:
  BrowserFolders Folders() const {
    return {(temp / "home").string(), (temp / "home/.config").string(),
            (temp / "home/.cache").string()};
  }
  Names SortedNames() {
    FirefoxProfiles profiles(Folders());
    Names names = profiles.ProfileNames();
    std::sort(names.begin(), names.end());
    return names;
  }

  TempFolder temp;
};

TEST_F(FirefoxProfilesTest, TheRootIsTheClassicFolderUnlessOnlyTheXdgOneIsThere) {
  FirefoxProfiles profiles(Folders());
  const std::string classic = (temp / "home/.mozilla/firefox/").string();
  const std::string xdg = (temp / "home/.config/mozilla/firefox/").string();
  EXPECT_EQ(profiles.ProfileRoot(), classic);  // neither is there
  fs::create_directories(xdg);
  EXPECT_EQ(profiles.ProfileRoot(), xdg);
  fs::create_directories(classic);
  EXPECT_EQ(profiles.ProfileRoot(), classic);
}

TEST_F(FirefoxProfilesTest, OnlyProfileFoldersAreOffered) {
  EXPECT_TRUE(SortedNames().empty());  // no folder yet
  const std::string root = "home/.mozilla/firefox/";
  temp.Write(root + "abcd.default-release/prefs.js", "");
  temp.Write(root + "efgh.default/times.json", "{}");
  temp.Write(root + "lower case/prefs.js", "");
  temp.Write(root + "profiles.ini", "[Profile0]");
  temp.Write(root + "installs.ini", "");
  temp.Write(root + "Crash Reports/events/x", "");
  fs::create_directories(temp / (root + "Pending Pings"));
  fs::create_directory_symlink(temp / (root + "abcd.default-release"),
                               temp / (root + "linked.default"));
  EXPECT_EQ(SortedNames(), (Names{"abcd.default-release", "efgh.default", "lower case"}));
}

}  // namespace
}  // namespace hv
