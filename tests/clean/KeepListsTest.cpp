// The keep lists and the desktop's caches, applied by whole cleaning runs over a home built
// by the tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BrowserFixture.h"
#include "HeldByAnotherProcess.h"
#include "InMemoryDocument.h"
#include "ScopedEnvironment.h"
#include "ScriptedUserInterface.h"
#include "ShownEntries.h"
#include "TempFolder.h"
#include "clean/CleanRun.h"
#include "clean/KeepLists.h"
#include "clean/RunReport.h"
#include "clean/StandardCleanActions.h"
#include "platform/PlatformServices.h"
#include "platform/posix/FreedesktopTrash.h"
#include "platform/posix/browser/BrowserUrlCache.h"
#include "platform/posix/browser/InstalledBrowserProfiles.h"

namespace hv {
namespace {

namespace fs = std::filesystem;

class NoRestart : public RestartService {
 public:
  bool RequestRestart() override { return false; }
};

TEST(IsKeptSiteTest, ASiteKeepsItselfAndItsSubdomainsOnly) {
  struct Case {
    const char* host;
    bool kept;
  };
  const std::vector<std::string> sites = {"example.org", ".Mail.Example.NET"};
  const Case cases[] = {
      {"example.org", true},
      {".example.org", true},
      {"mail.example.org", true},
      {"a.b.example.org", true},
      {"EXAMPLE.ORG", true},
      {"notexample.org", false},
      {"example.org.evil", false},
      {"example.com", false},
      {"org", false},
      {"mail.example.net", true},
      {"example.net", false},
      {"x.mail.example.net", true},
      {"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsKeptSite(c.host, sites), c.kept) << c.host;
  }
  EXPECT_FALSE(IsKeptSite("example.org", {}));
  EXPECT_FALSE(IsKeptSite("example.org", {""}));
}

// A home with a Firefox profile and a cache folder, the user's folders pointed at it, and
// the keep lists emptied again after each test.
class KeepListsTest : public testing::Test {
 protected:
  KeepListsTest() : browsers(temp / "home"), firefox(browsers.FirefoxProfile("abcd.default")) {
    environment.Set("HOME", browsers.home.string());
    environment.Set("XDG_CONFIG_HOME", browsers.config.string());
    environment.Set("XDG_CACHE_HOME", browsers.cache.string());
    services.recycleBin = std::make_unique<FreedesktopTrash>(FreedesktopTrash::ForCurrentUser());
    services.urlCache = std::make_unique<BrowserUrlCache>(browsers.Folders());
    services.browserProfiles = std::make_unique<InstalledBrowserProfiles>(browsers.Folders());
    ui.settings[1] = false;                                         // no confirmation questions
    temp.Write("home/.mozilla/firefox/abcd.default/prefs.js", "");  // what makes it a profile
  }
  ~KeepListsTest() override {
    WriteKeepList(kKeepCookiesKey, {});
    WriteKeepList(kKeepPathsKey, {});
  }

  void Run(const CleanItem& item, bool preview = false) {
    test::InMemoryDocument document;
    document.Box(item.Key, true);
    if (!preview) {
      ui.AnswerMessage(MessageAnswer::kOk);
    }
    const CleanActions actions = StandardCleanActions(services);
    NoRestart restart;
    CleanRun({item}, document, ui, actions, restart, {.preview = preview, .report = report.get()});
  }

  // What the report says of the entry naming what, "" when it has none.
  std::string ReasonFor(const std::string& what) const {
    for (const ReportEntry& entry : test::ShownEntries(*report)) {
      if (entry.what == what) {
        return entry.outcome == EntryOutcome::kLeft      ? entry.reason
               : entry.outcome == EntryOutcome::kRemoved ? "removed"
                                                         : "would be removed";
      }
    }
    return "";
  }

  std::vector<std::string> FirefoxCookieHosts() const {
    std::vector<std::string> hosts =
        test::QueryRows(firefox / "cookies.sqlite", "SELECT host FROM moz_cookies");
    std::ranges::sort(hosts);
    return hosts;
  }

  test::TempFolder temp;
  test::ScopedEnvironment environment;
  test::BrowserFixture browsers;
  fs::path firefox;
  PlatformServices services;
  test::ScriptedUserInterface ui;
  std::unique_ptr<RunReport> report = std::make_unique<RunReport>();
};

TEST_F(KeepListsTest, TheListsAreStoredInTheUsersOrderAndReplacedWhole) {
  WriteKeepList(kKeepCookiesKey, {"b.example", "A.example", "a.example"});
  WriteKeepList(kKeepPathsKey, {"/srv/Keep", "/srv/keep"});
  KeepLists stored = ReadKeepLists();
  EXPECT_EQ(stored.cookieSites, (std::vector<std::string>{"b.example", "A.example", "a.example"}));
  EXPECT_EQ(stored.paths, (std::vector<std::string>{"/srv/Keep", "/srv/keep"}));

  WriteKeepList(kKeepCookiesKey, {"c.example"});
  stored = ReadKeepLists();
  EXPECT_EQ(stored.cookieSites, std::vector<std::string>{"c.example"});
  EXPECT_EQ(stored.paths.size(), 2u);
}

const CleanItem kCookies = {"Cookies", "delete cookies", 3, "", "", false, false, false};

TEST_F(KeepListsTest, KeptCookiesSurviveTheCookieItemWithTheirSubdomains) {
  for (const char* host : {".example.org", "mail.example.org", ".notexample.org", "other.net"}) {
    test::AddFirefoxCookie(firefox, "sid", host, "/");
  }
  WriteKeepList(kKeepCookiesKey, {"example.org"});
  Run(kCookies, true);
  EXPECT_EQ(ReasonFor("cookie of example.org"), LeftReason::kKept);
  EXPECT_EQ(ReasonFor("cookie of mail.example.org"), LeftReason::kKept);
  EXPECT_EQ(ReasonFor("cookie of notexample.org"), "would be removed");
  EXPECT_EQ(FirefoxCookieHosts().size(), 4u);

  report = std::make_unique<RunReport>();
  Run(kCookies);
  EXPECT_EQ(FirefoxCookieHosts(), (std::vector<std::string>{".example.org", "mail.example.org"}));
  EXPECT_EQ(ReasonFor("cookie of other.net"), "removed");
}

// Each item that deletes files, with a kept place among what it would delete: the kept
// file stays (reported as kept, in a preview too), the file beside it goes.
TEST_F(KeepListsTest, KeptPathsSurviveEveryItemThatDeletesFiles) {
  struct Case {
    const char* what;
    CleanItem item;
    std::string kept;      // as the user stores it
    std::string keptFile;  // below home
    std::string goneFile;  // below home
    std::string reported;  // the report's entry for the kept place, below home
  };
  const std::string firefoxCache = ".cache/mozilla/firefox/abcd.default/cache2/entries/";
  const std::vector<Case> cases = {
      {"a kept folder in a file item's folder",
       {"App", "app", 2, "%Cache%/app/", "*", false, false, false},
       "%Cache%/app/keep",
       ".cache/app/keep/settings.bin",
       ".cache/app/other.bin",
       ".cache/app/keep"},
      {"a kept file in a file item's folder",
       {"App", "app", 2, "%Cache%/app/", "*.bin", false, false, false},
       browsers.cache.string() + "/app/sub/one.bin",
       ".cache/app/sub/one.bin",
       ".cache/app/sub/two.bin",
       ".cache/app/sub/one.bin"},
      {"a file item's folder inside a kept folder",
       {"App", "app", 2, "%Cache%/app/inner/", "*", false, false, false},
       "%Cache%/app",
       ".cache/app/inner/one.bin",
       "",
       ".cache/app/inner/"},
      {"a kept file among a named-files item's names",
       {"Named", "named", 8, "%Cache%/named/", "one.txt;two.txt", false, false, false},
       "%Cache%/named/one.txt",
       ".cache/named/one.txt",
       ".cache/named/two.txt",
       ".cache/named/one.txt"},
      {"a kept file in a browser profile",
       {"Profile", "profile", 7, "", "*.bak", false, false, false},
       firefox.string() + "/sessionstore.bak",
       ".mozilla/firefox/abcd.default/sessionstore.bak",
       ".mozilla/firefox/abcd.default/other.bak",
       ".mozilla/firefox/abcd.default/sessionstore.bak"},
      {"a kept file in every Firefox profile's files",
       {"Family", "family", 9, "firefox", "*.bak", false, false, false},
       firefox.string() + "/sessionstore.bak",
       ".mozilla/firefox/abcd.default/sessionstore.bak",
       ".mozilla/firefox/abcd.default/other.bak",
       ".mozilla/firefox/abcd.default/sessionstore.bak"},
      {"a kept browser cache file",
       {"Cache", "cache", 5, "", "", false, false, false},
       "%Cache%/mozilla/firefox/abcd.default/cache2/entries/A1",
       firefoxCache + "A1",
       firefoxCache + "B2",
       firefoxCache + "A1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path home = browsers.home;
    temp.Write("home/" + c.keptFile, "keep");
    if (!c.goneFile.empty()) {
      temp.Write("home/" + c.goneFile, "go");
    }
    WriteKeepList(kKeepPathsKey, {c.kept});
    report = std::make_unique<RunReport>();
    Run(c.item, true);
    EXPECT_EQ(ReasonFor((home / c.reported).string()), LeftReason::kKept);

    if (c.item.Kind == 7) {
      ui.AnswerMessage(MessageAnswer::kYes);
    }
    report = std::make_unique<RunReport>();
    Run(c.item);
    EXPECT_TRUE(fs::exists(home / c.keptFile));
    EXPECT_EQ(ReasonFor((home / c.reported).string()), LeftReason::kKept);
    if (!c.goneFile.empty()) {
      EXPECT_FALSE(fs::exists(home / c.goneFile));
    }
    EXPECT_TRUE(ui.ScriptUsedUp());
  }
}

TEST_F(KeepListsTest, AProfilesCookieDatabaseStaysWhileAnyCookieIsKept) {
  const CleanItem item = {"Profile", "profile", 7, "", "cookies.sqlite", false, false, false};
  WriteKeepList(kKeepCookiesKey, {"example.org"});
  ui.AnswerMessage(MessageAnswer::kYes);
  Run(item);
  EXPECT_TRUE(fs::exists(firefox / "cookies.sqlite"));
  EXPECT_EQ(ReasonFor((firefox / "cookies.sqlite").string()), LeftReason::kKeptCookies);

  WriteKeepList(kKeepCookiesKey, {});
  ui.AnswerMessage(MessageAnswer::kYes);
  report = std::make_unique<RunReport>();
  Run(item);
  EXPECT_FALSE(fs::exists(firefox / "cookies.sqlite"));
}

// The application caches item empties the cache folder but for what the desktop session
// holds or needs, and a file another program holds open.
TEST_F(KeepListsTest, ApplicationCachesLeaveTheDesktopsCachesAndOpenFiles) {
  const CleanItem item = {"ApplicationCaches", "caches", 2, "%Cache%/", "*", false, false, true};
  const std::vector<std::string> desktop = {
      "fontconfig/abc-le64.cache-9", "ksycoca6_en_abcdef",     "plasma_theme_default.kcache",
      "plasmashell/qmlcache/a.qmlc", "tracker3/files/meta.db", "mesa_shader_cache/index"};
  for (const std::string& name : desktop) {
    temp.Write("home/.cache/" + name, "needed");
  }
  const fs::path gone = temp.Write("home/.cache/someapp/data.bin", "old");
  const fs::path held = temp.Write("home/.cache/someapp/held.bin", "open");
  const test::HeldByAnotherProcess open(held.string());
  Run(item);

  for (const std::string& name : desktop) {
    EXPECT_TRUE(fs::exists(browsers.cache / name)) << name;
  }
  EXPECT_EQ(ReasonFor((browsers.cache / "fontconfig").string()), LeftReason::kDesktopNeedsIt);
  EXPECT_EQ(ReasonFor(held.string()), LeftReason::kInUse);
  EXPECT_TRUE(fs::exists(held));
  EXPECT_FALSE(fs::exists(gone));
}

}  // namespace
}  // namespace hv
