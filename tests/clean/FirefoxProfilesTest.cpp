#include "platform/posix/FirefoxProfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// The root is the classic folder unless only the XDG one is there; only profile folders
// are offered from it.
TEST(FirefoxProfilesTest, TheRootAndTheProfilesInIt) {
  const test::TempFolder temp;
  FirefoxProfiles profiles({(temp / "home").string(), (temp / "home/.config").string(),
                            (temp / "home/.cache").string()});
  const std::string classic = (temp / "home/.mozilla/firefox/").string();
  const std::string xdg = (temp / "home/.config/mozilla/firefox/").string();
  EXPECT_EQ(profiles.ProfileRoot(), classic);  // neither is there
  EXPECT_TRUE(profiles.ProfileNames().empty());
  fs::create_directories(xdg);
  EXPECT_EQ(profiles.ProfileRoot(), xdg);
  fs::create_directories(classic);
  EXPECT_EQ(profiles.ProfileRoot(), classic);

  const std::string root = "home/.mozilla/firefox/";
  temp.Write(root + "abcd.default-release/prefs.js", "");
  temp.Write(root + "efgh.default/times.json", "{}");
  temp.Write(root + "lower case/prefs.js", "");
  temp.Write(root + "profiles.ini", "[Profile0]");
  fs::create_directories(temp / (root + "Pending Pings"));
  fs::create_directory_symlink(temp / (root + "abcd.default-release"),
                               temp / (root + "linked.default"));
  Names names = profiles.ProfileNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Names{"abcd.default-release", "efgh.default", "lower case"}));
}

}  // namespace
}  // namespace hv
