// Browser profiles and stores wherever the distribution's, snap and Flatpak packages put
// them, each install laid out in a home of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "BrowserFixture.h"
#include "PreviewCheck.h"
#include "RecordingSink.h"
#include "ScriptedUserInterface.h"
#include "TempFolder.h"
#include "clean/BrowserFamilyCleanup.h"
#include "clean/modCache.h"
#include "platform/posix/browser/BrowserUrlCache.h"
#include "platform/posix/browser/InstalledBrowserProfiles.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

struct InstallCase {
  const char* name;
  const char* browser;
  BrowserFamily family;
  const char* install;
  const char* profile;  // relative to home
  const char* cache;    // the profile's cache folder, relative to home
};

constexpr auto kFirefox = BrowserFamily::kFirefox;
constexpr auto kChromium = BrowserFamily::kChromium;

const InstallCase kInstalls[] = {
    {"firefox_classic", "Firefox", kFirefox, "", ".mozilla/firefox/abcd.default-release",
     ".cache/mozilla/firefox/abcd.default-release"},
    {"firefox_xdg", "Firefox", kFirefox, "", ".config/mozilla/firefox/efgh.default",
     ".cache/mozilla/firefox/efgh.default"},
    {"firefox_snap", "Firefox", kFirefox, "snap",
     "snap/firefox/common/.mozilla/firefox/ijkl.default",
     "snap/firefox/common/.cache/mozilla/firefox/ijkl.default"},
    {"firefox_flatpak", "Firefox", kFirefox, "Flatpak",
     ".var/app/org.mozilla.firefox/.mozilla/firefox/mnop.default",
     ".var/app/org.mozilla.firefox/cache/mozilla/firefox/mnop.default"},
    {"firefox_flatpak_xdg", "Firefox", kFirefox, "Flatpak",
     ".var/app/org.mozilla.firefox/config/mozilla/firefox/qrst.default",
     ".var/app/org.mozilla.firefox/cache/mozilla/firefox/qrst.default"},
    {"chromium_xdg", "Chromium", kChromium, "", ".config/chromium/Default",
     ".cache/chromium/Default"},
    {"chromium_snap", "Chromium", kChromium, "snap", "snap/chromium/common/chromium/Profile 1",
     "snap/chromium/common/.cache/chromium/Profile 1"},
    {"chromium_flatpak", "Chromium", kChromium, "Flatpak",
     ".var/app/org.chromium.Chromium/config/chromium/Default",
     ".var/app/org.chromium.Chromium/cache/chromium/Default"},
    {"chrome_xdg", "Google Chrome", kChromium, "", ".config/google-chrome/Profile 2",
     ".cache/google-chrome/Profile 2"},
    {"chrome_flatpak", "Google Chrome", kChromium, "Flatpak",
     ".var/app/com.google.Chrome/config/google-chrome/Default",
     ".var/app/com.google.Chrome/cache/google-chrome/Default"},
    {"brave_xdg", "Brave", kChromium, "", ".config/BraveSoftware/Brave-Browser/Default",
     ".cache/BraveSoftware/Brave-Browser/Default"},
    {"brave_flatpak", "Brave", kChromium, "Flatpak",
     ".var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser/Default",
     ".var/app/com.brave.Browser/cache/BraveSoftware/Brave-Browser/Default"},
    {"vivaldi_xdg", "Vivaldi", kChromium, "", ".config/vivaldi/Default", ".cache/vivaldi/Default"},
    {"vivaldi_flatpak", "Vivaldi", kChromium, "Flatpak",
     ".var/app/com.vivaldi.Vivaldi/config/vivaldi/Default",
     ".var/app/com.vivaldi.Vivaldi/cache/vivaldi/Default"},
    {"edge_xdg", "Microsoft Edge", kChromium, "", ".config/microsoft-edge/Default",
     ".cache/microsoft-edge/Default"},
    {"edge_flatpak", "Microsoft Edge", kChromium, "Flatpak",
     ".var/app/com.microsoft.Edge/config/microsoft-edge/Default",
     ".var/app/com.microsoft.Edge/cache/microsoft-edge/Default"},
    // Opera keeps its one profile in its folder itself.
    {"opera_xdg", "Opera", kChromium, "", ".config/opera", ".cache/opera"},
    {"opera_flatpak", "Opera", kChromium, "Flatpak", ".var/app/com.opera.Opera/config/opera",
     ".var/app/com.opera.Opera/cache/opera"},
};

// A home holding one install's profile, with a cookie, a visited page and a cache file,
// beside things no cleaning may touch: files of the user, a folder of the browser that is
// no profile yet holds files named like a profile's, and a crash report.
class InstallTest : public testing::TestWithParam<InstallCase> {
 protected:
  InstallTest() : browsers(temp / "home") {
    const InstallCase& c = GetParam();
    const bool firefox = c.family == kFirefox;
    profile =
        firefox ? browsers.FirefoxProfileAt(c.profile) : browsers.ChromiumProfileAt(c.profile);
    if (firefox) {
      test::AddFirefoxCookie(profile, "sid", ".site.example", "/");
      test::AddFirefoxPage(profile, "https://site.example/", 1);
      temp.Write(Home(c.cache) + "/cache2/entries/0A1B",
                 test::FirefoxCacheBytes(test::kFirefoxKey));
    } else {
      test::AddChromiumCookie(profile / "Network/Cookies", "sid", ".site.example", "/");
      test::AddChromiumPage(profile, "https://site.example/", 1);
      temp.Write(Home(c.cache) + "/Cache/Cache_Data/0123456789abcdef_0",
                 test::SimpleCacheBytes(test::kChromiumKey));
    }
    temp.Write(Home(c.profile) + "/sessionstore-backups/recovery.jsonlz4", "s");
    temp.Write("home/Documents/History", "the user's own");
    temp.Write("home/Documents/cookies.sqlite", "the user's own");
    const fs::path beside = profile.parent_path();
    temp.Write(fs::relative(beside, temp.Path()).string() + "/System Profile/History", "h");
    temp.Write(fs::relative(beside, temp.Path()).string() + "/Crash Reports/pending/a.dmp", "d");
  }

  static std::string Home(const std::string& relative) { return "home/" + relative; }

  // Everything below home but the profile and its cache, which the cleaning may change.
  std::map<std::string, std::string> Outside() const {
    std::map<std::string, std::string> tree = test::SnapshotTree(temp / "home");
    std::erase_if(tree, [&](const auto& entry) {
      return entry.first.starts_with(GetParam().profile) ||
             entry.first.starts_with(GetParam().cache);
    });
    return tree;
  }

  test::TempFolder temp;
  test::BrowserFixture browsers;
  fs::path profile;
};

TEST_P(InstallTest, TheProfileIsFoundWithItsCache) {
  const InstallCase& c = GetParam();
  InstalledBrowserProfiles profiles(browsers.Folders());
  const BrowserProfileList found = profiles.Profiles();
  const std::vector<BrowserProfile> expected = {
      {c.browser, c.family, c.install, fs::path(c.profile).filename().string(),
       (temp / Home(c.profile)).string() + "/", (temp / Home(c.cache)).string() + "/"}};
  EXPECT_EQ(found.profiles, expected);
  // Opera's one profile is its install's folder itself.
  const fs::path root = std::string(c.browser) == "Opera" ? profile : profile.parent_path();
  EXPECT_EQ(
      found.installs,
      (std::vector<BrowserInstallFolder>{{c.browser, c.family, c.install, root.string() + "/"}}));
  EXPECT_TRUE(found.unreadable.empty());
}

TEST_P(InstallTest, EveryStoreIsCleanedAndNothingOutsideTheProfile) {
  const InstallCase& c = GetParam();
  BrowserUrlCache cache(browsers.Folders());
  modCache walk(cache);
  const std::string key = c.family == kFirefox ? test::kFirefoxKey : test::kChromiumKey;
  Names all = {"Cookie:sid@.site.example/", "Visited: https://site.example/", key};
  std::sort(all.begin(), all.end());
  ASSERT_EQ(test::WalkNames(walk), all);
  const auto outside = Outside();

  test::RunAction(DeleteCookies, walk);
  test::RunAction(ClearUrlHistory, walk);
  test::RunAction(DeleteCacheFiles, walk);
  InstalledBrowserProfiles profiles(browsers.Folders());
  test::ScriptedUserInterface ui;
  test::RecordingSink report;
  CleanContext context{.ui = ui, .report = report};
  CleanBrowserFamilyAction(profiles, NativeFileSystem())(
      {"k", "", 9, c.family == kFirefox ? "firefox" : "chromium", "sessionstore-backups/*"},
      context);

  EXPECT_TRUE(test::WalkNames(walk).empty());
  EXPECT_FALSE(fs::exists(profile / "sessionstore-backups/recovery.jsonlz4"));
  EXPECT_TRUE(fs::is_directory(profile / "sessionstore-backups"));
  EXPECT_EQ(Outside(), outside);
}

INSTANTIATE_TEST_SUITE_P(Installs, InstallTest, testing::ValuesIn(kInstalls),
                         [](const testing::TestParamInfo<InstallCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace hv
