#include "platform/posix/browser/InstalledBrowserProfiles.h"

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

// The Firefox profiles' names, sorted, each with its install where it has one.
Names FirefoxNames(InstalledBrowserProfiles& profiles) {
  Names names;
  for (const BrowserProfile& profile : profiles.Profiles().profiles) {
    if (profile.family == BrowserFamily::kFirefox) {
      names.push_back(profile.name + (profile.install.empty() ? "" : " @" + profile.install));
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

InstalledBrowserProfiles ProfilesOf(const test::TempFolder& temp) {
  return InstalledBrowserProfiles({(temp / "home").string(), (temp / "home/.config").string(),
                                   (temp / "home/.cache").string()});
}

// Only folders that hold a profile are profiles; Firefox's other files and folders beside
// them are not.
TEST(FirefoxProfilesTest, OnlyProfileFoldersAreProfiles) {
  const test::TempFolder temp;
  InstalledBrowserProfiles profiles = ProfilesOf(temp);
  EXPECT_TRUE(FirefoxNames(profiles).empty());

  const std::string root = "home/.mozilla/firefox/";
  temp.Write(root + "abcd.default-release/prefs.js", "");
  temp.Write(root + "efgh.default/times.json", "{}");
  temp.Write(root + "lower case/prefs.js", "");
  temp.Write(root + "places only/places.sqlite", "");
  temp.Write(root + "profiles.ini", "[Profile0]");
  temp.Write(root + "Crash Reports/pending/a.dmp", "");
  fs::create_directories(temp / (root + "Pending Pings"));
  // A profile kept elsewhere and linked into place is offered; a link to nothing is not.
  temp.Write("in-memory/ijkl.default/prefs.js", "");
  fs::create_directory_symlink(temp / "in-memory/ijkl.default", temp / (root + "ijkl.default"));
  fs::create_directory_symlink(temp / "gone", temp / (root + "gone.default"));
  EXPECT_EQ(FirefoxNames(profiles), (Names{"abcd.default-release", "efgh.default", "ijkl.default",
                                           "lower case", "places only"}));
}

struct IniCase {
  const char* name;
  std::string ini;
  Names folders;  // made below the classic root, empty, unless absolute
  Names found;
};

class ProfilesIniTest : public testing::TestWithParam<IniCase> {};

// Profiles that profiles.ini lists are found even before Firefox wrote anything into
// them; one kept elsewhere only when it holds a profile, and none by climbing out.
TEST_P(ProfilesIniTest, ListedProfilesAreFound) {
  const IniCase& c = GetParam();
  const test::TempFolder temp;
  const fs::path root = temp / "home/.mozilla/firefox";
  fs::create_directories(root);
  temp.Write("elsewhere/real.profile/prefs.js", "");
  fs::create_directories(temp / "elsewhere/empty.folder");
  fs::create_directories(temp / "home/.mozilla/outside.profile");
  for (const std::string& folder : c.folders) {
    fs::create_directories(root / folder);
  }
  std::string ini = c.ini;
  for (size_t at; (at = ini.find("$TEMP")) != std::string::npos;) {
    ini.replace(at, 5, temp.Path().string());
  }
  temp.Write("home/.mozilla/firefox/profiles.ini", ini);
  InstalledBrowserProfiles profiles = ProfilesOf(temp);
  EXPECT_EQ(FirefoxNames(profiles), c.found);
}

INSTANTIATE_TEST_SUITE_P(
    Inis, ProfilesIniTest,
    testing::Values(
        IniCase{"relative_and_fresh",
                "[General]\nStartWithLastProfile=1\n\n[Profile0]\n"
                "Name=default-release\nIsRelative=1\nPath=abcd.default-release\nDefault=1\n",
                {"abcd.default-release"},
                {"abcd.default-release"}},
        IniCase{"crlf_lines",
                "[Profile0]\r\nIsRelative=1\r\nPath=abcd.default\r\n",
                {"abcd.default"},
                {"abcd.default"}},
        IniCase{"listed_but_missing", "[Profile0]\nPath=gone.default\n", {}, {}},
        IniCase{"absolute_profile",
                "[Profile0]\nIsRelative=0\nPath=$TEMP/elsewhere/real.profile\n",
                {},
                {"real.profile"}},
        IniCase{"absolute_folder_without_a_profile",
                "[Profile0]\nIsRelative=0\nPath=$TEMP/elsewhere/empty.folder\n",
                {},
                {}},
        IniCase{"climbing_out", "[Profile0]\nIsRelative=1\nPath=../outside.profile\n", {}, {}},
        IniCase{"install_sections_are_no_profiles",
                "[Install4F96D1932A9F858E]\nDefault=abcd.default\n",
                {"abcd.default"},
                {}},
        IniCase{"listed_and_found_by_folder_once",
                "[Profile0]\nPath=abcd.default\n",
                {"abcd.default/x"},
                {"abcd.default"}}),
    [](const testing::TestParamInfo<IniCase>& info) { return std::string(info.param.name); });

struct LabelCase {
  const char* name;
  Names profiles;  // relative to home
  std::string offered;
};

class ProfileLabelTest : public testing::TestWithParam<LabelCase> {};

// The choice names every install's profiles so that they can be told apart; the usual
// install's keep the names they always had.
TEST_P(ProfileLabelTest, EachInstallIsNamedInTheChoice) {
  const LabelCase& c = GetParam();
  const test::TempFolder temp;
  for (const std::string& profile : c.profiles) {
    temp.Write("home/" + profile + "/prefs.js", "");
  }
  InstalledBrowserProfiles profiles = ProfilesOf(temp);
  test::ScriptedUserInterface ui;
  ui.AnswerChoice("");
  test::RecordingSink report;
  CleanContext context{.ui = ui, .report = report};
  ChooseProfile(context, profiles);
  EXPECT_EQ(ui.events, Names{"choose: Select a Netscape Profile: [" + c.offered + "]"});
}

INSTANTIATE_TEST_SUITE_P(
    Labels, ProfileLabelTest,
    testing::Values(
        LabelCase{"classic_snap_and_flatpak",
                  {".mozilla/firefox/abcd.default-release",
                   "snap/firefox/common/.mozilla/firefox/abcd.default-release",
                   ".var/app/org.mozilla.firefox/.mozilla/firefox/wxyz.default"},
                  "Abcd.default-release;Abcd.default-release (snap);Wxyz.default (Flatpak)"},
        LabelCase{"xdg_alone_is_the_usual_place",
                  {".config/mozilla/firefox/efgh.default",
                   "snap/firefox/common/.mozilla/firefox/ijkl.default"},
                  "Efgh.default;Ijkl.default (snap)"},
        LabelCase{"xdg_beside_the_classic_folder",
                  {".mozilla/firefox/abcd.default", ".config/mozilla/firefox/efgh.default"},
                  "Abcd.default;Efgh.default (XDG)"}),
    [](const testing::TestParamInfo<LabelCase>& info) { return std::string(info.param.name); });

// Choosing a profile of another install cleans that one, not its namesake.
TEST(FirefoxProfileChoiceTest, TheChosenInstallsProfileIsCleaned) {
  const test::TempFolder temp;
  const std::string classic = "home/.mozilla/firefox/abcd.default/";
  const std::string snap = "home/snap/firefox/common/.mozilla/firefox/abcd.default/";
  for (const std::string& profile : {classic, snap}) {
    temp.Write(profile + "prefs.js", "");
    temp.Write(profile + "cookies.sqlite", "");
  }
  InstalledBrowserProfiles profiles = ProfilesOf(temp);
  test::ScriptedUserInterface ui;
  ui.AnswerChoice("Abcd.default (snap)");
  ui.AnswerMessage(6);  // Yes
  test::RecordingSink report;
  CleanContext context{.ui = ui, .report = report};
  ChooseProfile(context, profiles);
  CleanProfile(context, "cookies.sqlite");
  EXPECT_EQ(ui.events.back(),
            "message: Are you sure you want to delete data from the profile named "
            "'Abcd.default (snap)'?");
  EXPECT_TRUE(fs::exists(temp / (classic + "cookies.sqlite")));
  EXPECT_FALSE(fs::exists(temp / (snap + "cookies.sqlite")));
}

struct RootCase {
  const char* name;
  std::function<void(const fs::path& root)> make;
  bool fails;  // whether listing it is an error the run hears of
};

class ProfileRootTest : public testing::TestWithParam<RootCase> {};

// A root that is missing or empty holds no profiles; one that is there but cannot be
// listed is told apart from that.
TEST_P(ProfileRootTest, OnlyAMissingOrEmptyRootMeansNoProfiles) {
  const RootCase& c = GetParam();
  const test::TempFolder temp;
  InstalledBrowserProfiles profiles({(temp / "home").string(), "", ""});
  const fs::path root = temp / "home/.mozilla/firefox";
  fs::create_directories(root.parent_path());
  c.make(root);
  const BrowserProfileList found = profiles.Profiles();
  EXPECT_TRUE(found.profiles.empty());
  ASSERT_EQ(found.unreadable.size(), c.fails ? 1u : 0u);
  if (c.fails) {
    EXPECT_EQ(found.unreadable.front().path, root.string());
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
  InstalledBrowserProfiles profiles({(temp / "home").string(), "", ""});
  temp.Write("home/.mozilla/firefox/abcd.default/prefs.js", "");
  fs::permissions(temp / "home/.mozilla/firefox", fs::perms::none);
  EXPECT_EQ(profiles.Profiles().unreadable.size(), 1u);
}

// The chosen profile kept elsewhere and linked into place: its files go, but nothing that
// a link inside it leads to.
TEST(LinkedProfileCleanupTest, TheProfileIsCleanedWithoutFollowingLinksInIt) {
  const test::TempFolder temp;
  InstalledBrowserProfiles profiles({(temp / "home").string(), "", ""});
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
  CleanProfile(context, "*.sqlite");
  EXPECT_EQ(context.chosenProfile, (temp / "home/.mozilla/firefox/abcd.default/").string());
  EXPECT_FALSE(fs::exists(kept / "cookies.sqlite"));
  EXPECT_FALSE(fs::exists(kept / "storage/data.sqlite"));
  EXPECT_TRUE(fs::exists(kept / "prefs.js"));
  EXPECT_TRUE(fs::exists(temp / "documents/notes.sqlite"));
  EXPECT_TRUE(fs::is_symlink(temp / "home/.mozilla/firefox/abcd.default"));
}

TEST(UnreadableProfileRootTest, TheErrorReachesTheRunAndNothingIsAsked) {
  const test::TempFolder temp;
  InstalledBrowserProfiles profiles({(temp / "home").string(), "", ""});
  temp.Write("home/.mozilla/firefox", "not a folder");
  test::ScriptedUserInterface ui;
  test::RecordingSink report;
  CleanContext context{.ui = ui, .report = report};
  EXPECT_THROW(ChooseProfile(context, profiles), NumberedError);
  EXPECT_TRUE(ui.events.empty());
}

}  // namespace
}  // namespace hv
