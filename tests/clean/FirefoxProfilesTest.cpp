#include "platform/posix/browser/FirefoxProfiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "RecordingSink.h"
#include "ScriptedUserInterface.h"
#include "TempFolder.h"
#include "clean/ProfileCleanup.h"
#include "util/NumberedError.h"

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
  // A profile kept elsewhere and linked into place is offered; a link to nothing is not.
  temp.Write("in-memory/ijkl.default/prefs.js", "");
  fs::create_directory_symlink(temp / "in-memory/ijkl.default", temp / (root + "ijkl.default"));
  fs::create_directory_symlink(temp / "gone", temp / (root + "gone.default"));
  Names names = profiles.ProfileNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Names{"abcd.default-release", "efgh.default", "ijkl.default", "lower case"}));
}

struct RootCase {
  const char* name;
  std::function<void(const fs::path& root)> make;
  bool fails;  // whether listing it is an error the run hears of
};

class ProfileRootTest : public testing::TestWithParam<RootCase> {};

// A root that is missing or empty holds no profiles; one that is there but cannot be
// listed is an error, not an empty list.
TEST_P(ProfileRootTest, OnlyAMissingOrEmptyRootMeansNoProfiles) {
  const RootCase& c = GetParam();
  const test::TempFolder temp;
  FirefoxProfiles profiles({(temp / "home").string(), "", ""});
  const fs::path root = temp / "home/.mozilla/firefox";
  fs::create_directories(root.parent_path());
  c.make(root);
  if (c.fails) {
    EXPECT_THROW(profiles.ProfileNames(), NumberedError);
  } else {
    EXPECT_TRUE(profiles.ProfileNames().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Roots, ProfileRootTest,
    testing::Values(
        RootCase{"missing", [](const fs::path&) {}, false},
        RootCase{"empty", [](const fs::path& root) { fs::create_directory(root); }, false},
        RootCase{"a_file", [](const fs::path& root) { std::ofstream(root) << "x"; }, true},
        RootCase{"a_link_to_itself", [](const fs::path& root) { fs::create_symlink(root, root); },
                 true}),
    [](const testing::TestParamInfo<RootCase>& info) { return std::string(info.param.name); });

TEST(ProfileRootAccessTest, AnUnreadableRootIsAnError) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "permissions do not keep the superuser out";
  }
  const test::TempFolder temp;
  FirefoxProfiles profiles({(temp / "home").string(), "", ""});
  temp.Write("home/.mozilla/firefox/abcd.default/prefs.js", "");
  fs::permissions(temp / "home/.mozilla/firefox", fs::perms::none);
  EXPECT_THROW(profiles.ProfileNames(), NumberedError);
}

// The chosen profile kept elsewhere and linked into place: its files go, but nothing that
// a link inside it leads to.
TEST(LinkedProfileCleanupTest, TheProfileIsCleanedWithoutFollowingLinksInIt) {
  const test::TempFolder temp;
  FirefoxProfiles profiles({(temp / "home").string(), "", ""});
  const fs::path kept = temp / "in-memory/abcd.default";
  temp.Write("in-memory/abcd.default/prefs.js", "");
  temp.Write("in-memory/abcd.default/cookies.sqlite", "");
  temp.Write("in-memory/abcd.default/storage/data.sqlite", "");
  temp.Write("documents/notes.sqlite", "");
  fs::create_directory_symlink(temp / "documents", kept / "linked-documents");
  fs::create_directories(temp / "home/.mozilla/firefox");
  fs::create_directory_symlink(kept, temp / "home/.mozilla/firefox/abcd.default");

  test::ScriptedUserInterface ui;
  ui.AnswerMessage(6);  // Yes
  test::RecordingSink report;
  CleanContext context{.ui = ui, .report = report};
  ChooseProfile(context, profiles);
  CleanProfile(context, profiles, "*.sqlite");
  EXPECT_EQ(context.chosenProfile, "abcd.default");
  EXPECT_FALSE(fs::exists(kept / "cookies.sqlite"));
  EXPECT_FALSE(fs::exists(kept / "storage/data.sqlite"));
  EXPECT_TRUE(fs::exists(kept / "prefs.js"));
  EXPECT_TRUE(fs::exists(temp / "documents/notes.sqlite"));
  EXPECT_TRUE(fs::is_symlink(temp / "home/.mozilla/firefox/abcd.default"));
}

TEST(UnreadableProfileRootTest, TheErrorReachesTheRunAndNothingIsAsked) {
  const test::TempFolder temp;
  FirefoxProfiles profiles({(temp / "home").string(), "", ""});
  temp.Write("home/.mozilla/firefox", "not a folder");
  test::ScriptedUserInterface ui;
  test::RecordingSink report;
  CleanContext context{.ui = ui, .report = report};
  EXPECT_THROW(ChooseProfile(context, profiles), NumberedError);
  EXPECT_TRUE(ui.events.empty());
}

}  // namespace
}  // namespace hv
