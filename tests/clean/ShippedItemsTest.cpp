// Every item the Linux definition files ship, run against one home laid out as the
// desktops, shells, tools and browsers (classic, snap and Flatpak installs) lay it out:
// what each item removes and what it keeps.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "BrowserFixture.h"
#include "RecordingSink.h"
#include "ScopedEnvironment.h"
#include "ScriptedUserInterface.h"
#include "TempFolder.h"
#include "clean/StandardCleanActions.h"
#include "fileio/DefinitionLoader.h"
#include "platform/PlatformServices.h"
#include "platform/posix/FreedesktopTrash.h"
#include "ports/UserInterface.h"
#include "util/SplitText.h"

namespace hv {
namespace {

namespace fs = std::filesystem;

const std::string kFirefox = ".mozilla/firefox/abcd.default-release/";
const std::string kFirefoxSnap = "snap/firefox/common/.mozilla/firefox/snap1.default/";
const std::string kFirefoxFlatpak = ".var/app/org.mozilla.firefox/.mozilla/firefox/flat1.default/";
const std::string kChromium = ".config/chromium/Default/";
const std::string kChromiumSecond = ".config/chromium/Profile 1/";
const std::string kChrome = ".config/google-chrome/Default/";
const std::string kChromiumSnap = "snap/chromium/common/chromium/Default/";
const std::string kChromiumFlatpak = ".var/app/org.chromium.Chromium/config/chromium/Default/";

// Files no item may ever take: passwords and keys, bookmarks, extensions, settings, and
// the users' own configuration beside the histories.
const std::vector<std::string> kNeverTaken = {
    kFirefox + "logins.json",
    kFirefox + "key4.db",
    kFirefox + "places.sqlite",
    kFirefox + "prefs.js",
    kFirefox + "extensions.json",
    kFirefox + "extensions/addon@example.xpi",
    kFirefoxSnap + "logins.json",
    kFirefoxSnap + "prefs.js",
    kFirefoxFlatpak + "prefs.js",
    kFirefoxFlatpak + "key4.db",
    kChromium + "Login Data",
    kChromium + "Bookmarks",
    kChromium + "Preferences",
    kChromium + "Extensions/abcdef/1.0/manifest.json",
    kChromiumSnap + "Bookmarks",
    ".config/chromium/Local State",
    ".bashrc",
    ".zshrc",
    ".vimrc",
    ".config/fish/config.fish",
    ".local/share/user-places.xbel",
    ".local/share/gnome-shell/extensions/x@example/metadata.json",
};

// The plain files of the home; each holds its own name.
const std::vector<std::string> kHomeFiles = {
    // desktop
    ".cache/thumbnails/normal/a.png",
    ".cache/thumbnails/large/b.png",
    ".cache/thumbnails/fail/gnome/c.png",
    ".cache/thumbnails/README",
    ".thumbnails/normal/d.png",
    ".local/share/recently-used.xbel",
    ".local/share/recently-used.xbel.bak",
    ".local/share/RecentDocuments/report.odt.desktop",
    ".local/share/klipper/history2.lst",
    ".local/share/klipper/history3.sqlite",
    ".local/share/klipper/history3.sqlite-wal",
    ".local/share/klipper/data/ab/cd/picture.png",
    ".local/share/zeitgeist/activity.sqlite",
    ".local/share/zeitgeist/activity.sqlite-wal",
    ".local/share/zeitgeist/fts.index/postlist.glass",
    ".local/share/gnome-shell/application_state",
    ".xsession-errors",
    ".xsession-errors.old",
    ".local/share/xorg/Xorg.0.log",
    ".local/share/xorg/Xorg.0.log.old",
    ".local/share/xorg/keep.conf",
    ".local/share/Trash/files/old.txt",
    ".local/share/Trash/info/old.txt.trashinfo",
    // shells and tools
    ".bash_history",
    ".zsh_history",
    ".zhistory",
    ".local/share/fish/fish_history",
    ".python_history",
    ".lesshst",
    ".local/share/lesshst",
    ".local/state/lesshst",
    ".viminfo",
    ".local/state/nvim/shada/main.shada",
    ".sqlite_history",
    ".psql_history",
    ".psql_history-sales",
    ".mysql_history",
    ".mariadb_history",
    ".node_repl_history",
    ".wget-hsts",
    ".wgetrc",
    ".my.cnf",
    // caches of every install kind
    ".cache/mozilla/firefox/abcd.default-release/startupCache/startupCache.8.little",
    "snap/firefox/common/.cache/mozilla/firefox/snap1.default/cache2/entries/AA11",
    ".var/app/org.mozilla.firefox/cache/mozilla/firefox/flat1.default/cache2/entries/BB22",
    ".cache/chromium/Default/Code Cache/js/index",
    "snap/chromium/common/.cache/chromium/Default/Cache/data_1",
    ".var/app/org.chromium.Chromium/cache/chromium/Default/Cache/data_2",
    ".cache/google-chrome/Default/Cache/data_3",
    ".var/app/com.google.Chrome/cache/google-chrome/Default/Cache/data_4",
    ".cache/BraveSoftware/Brave-Browser/Default/Cache/data_5",
    ".var/app/com.brave.Browser/cache/BraveSoftware/Brave-Browser/Default/Cache/data_6",
    ".cache/microsoft-edge/Default/Cache/data_7",
    ".var/app/com.microsoft.Edge/cache/microsoft-edge/Default/Cache/data_8",
    ".cache/vivaldi/Default/Cache/data_9",
    ".var/app/com.vivaldi.Vivaldi/cache/vivaldi/Default/Cache/data_10",
    ".cache/opera/Cache/data_11",
    ".var/app/com.opera.Opera/cache/opera/Cache/data_12",
    // Firefox profiles
    kFirefox + "formhistory.sqlite",
    kFirefox + "sessionstore.jsonlz4",
    kFirefox + "sessionstore-backups/recovery.jsonlz4",
    kFirefox + "storage/default/https+++example.org/ls/data.sqlite",
    kFirefox + "webappsstore.sqlite",
    kFirefox + "SiteSecurityServiceState.bin",
    kFirefox + "AlternateServices.bin",
    kFirefox + "minidumps/crash.dmp",
    ".mozilla/firefox/Crash Reports/pending/crash.dmp",
    ".mozilla/firefox/Crash Reports/InstallTime20240101",
    kFirefoxSnap + "sessionstore.jsonlz4",
    kFirefoxSnap + "formhistory.sqlite",
    kFirefoxFlatpak + "sessionstore-backups/previous.jsonlz4",
    // Chromium-family profiles
    kChromium + "Current Session",
    kChromium + "Current Tabs",
    kChromium + "Last Session",
    kChromium + "Last Tabs",
    kChromium + "Sessions/Session_13",
    kChromium + "Local Storage/leveldb/000003.log",
    kChromium + "Session Storage/000003.log",
    kChromium + "IndexedDB/https_example.org_0.indexeddb.leveldb/LOG",
    kChromium + "Service Worker/Database/LOG",
    kChromium + "Top Sites",
    kChromium + "Top Sites-journal",
    kChromium + "Favicons",
    kChromium + "Favicons-journal",
    kChromium + "Shortcuts",
    kChromium + "Visited Links",
    kChromium + "Network Action Predictor",
    kChromiumSecond + "Visited Links",
    kChrome + "Sessions/Session_14",
    kChrome + "Top Sites",
    kChromiumSnap + "Current Session",
    kChromiumSnap + "Favicons",
    kChromiumFlatpak + "Local Storage/leveldb/000005.log",
    kChromiumFlatpak + "Shortcuts",
};

// A check on the home after an item ran: a path below it, or "database?query" for rows of
// a browser database, which are there when the query finds any.
using Checks = std::vector<std::string>;

struct Row {
  const char* key;
  Checks removed;
  Checks kept;
};

Checks With(Checks checks, const Checks& more) {
  checks.insert(checks.end(), more.begin(), more.end());
  return checks;
}

const std::string kFirefoxCookieRows = kFirefox + "cookies.sqlite?SELECT name FROM moz_cookies";
const std::string kFirefoxVisitedRows =
    kFirefox + "places.sqlite?SELECT url FROM moz_places WHERE url LIKE '%visited%'";
const std::string kFirefoxBookmarkedRows =
    kFirefox + "places.sqlite?SELECT url FROM moz_places WHERE url LIKE '%bookmarked%'";
const std::string kChromiumCookieRows = kChromium + "Network/Cookies?SELECT name FROM cookies";
const std::string kChromiumVisitedRows = kChromium + "History?SELECT url FROM urls";
const std::string kFirefoxCacheEntry =
    ".cache/mozilla/firefox/abcd.default-release/cache2/entries/0A1B2C";
const std::string kChromiumCacheEntry =
    ".cache/chromium/Default/Cache/Cache_Data/0123456789abcdef_0";

const Row kRows[] = {
    // desktop
    {"ThumbnailCache",
     {".cache/thumbnails/normal/a.png", ".cache/thumbnails/large/b.png",
      ".cache/thumbnails/fail/gnome/c.png"},
     {".cache/thumbnails/README", ".thumbnails/normal/d.png"}},
    {"OldThumbnailCache", {".thumbnails/normal/d.png"}, {".cache/thumbnails/normal/a.png"}},
    {"RecentlyUsedFiles",
     {".local/share/recently-used.xbel", ".local/share/recently-used.xbel.bak"},
     {".local/share/user-places.xbel"}},
    {"KdeRecentDocuments",
     {".local/share/RecentDocuments/report.odt.desktop"},
     {".local/share/RecentDocuments"}},
    {"KlipperHistory",
     {".local/share/klipper/history2.lst", ".local/share/klipper/history3.sqlite",
      ".local/share/klipper/history3.sqlite-wal", ".local/share/klipper/data"},
     {".local/share/klipper"}},
    {"ZeitgeistLog",
     {".local/share/zeitgeist/activity.sqlite", ".local/share/zeitgeist/activity.sqlite-wal",
      ".local/share/zeitgeist/fts.index"},
     {".local/share/zeitgeist"}},
    {"GnomeShellUsage",
     {".local/share/gnome-shell/application_state"},
     {".local/share/gnome-shell/extensions/x@example/metadata.json"}},
    {"XSessionErrors", {".xsession-errors", ".xsession-errors.old"}, {".bashrc"}},
    {"XorgLogs",
     {".local/share/xorg/Xorg.0.log", ".local/share/xorg/Xorg.0.log.old"},
     {".local/share/xorg/keep.conf"}},
    // shells and tools
    {"BashHistory", {".bash_history"}, {".bashrc", ".bash_link_history"}},
    {"ZshHistory", {".zsh_history", ".zhistory"}, {".zshrc"}},
    {"FishHistory", {".local/share/fish/fish_history"}, {".config/fish/config.fish"}},
    {"PythonHistory", {".python_history"}, {".bash_history"}},
    {"LessHistory", {".lesshst"}, {".local/state/lesshst", ".local/share/lesshst"}},
    {"LessDataHistory", {".local/share/lesshst"}, {".lesshst", ".local/state/lesshst"}},
    {"LessStateHistory", {".local/state/lesshst"}, {".lesshst", ".local/share/lesshst"}},
    {"VimInfo", {".viminfo"}, {".vimrc", ".local/state/nvim/shada/main.shada"}},
    {"NeovimShada",
     {".local/state/nvim/shada/main.shada"},
     {".local/state/nvim/shada", ".viminfo"}},
    {"SqliteHistory", {".sqlite_history"}, {".bash_history"}},
    {"PsqlHistory", {".psql_history", ".psql_history-sales"}, {".bash_history"}},
    {"MysqlHistory", {".mysql_history", ".mariadb_history"}, {".my.cnf"}},
    {"NodeHistory", {".node_repl_history"}, {".bash_history"}},
    {"WgetHsts", {".wget-hsts"}, {".wgetrc"}},
    {"ApplicationCaches",
     {".cache/thumbnails", ".cache/mozilla", kFirefoxCacheEntry, ".cache/opera/Cache/data_11"},
     {".cache", ".config/chromium/Local State", ".local/share/recently-used.xbel"}},
    {"Trash",
     {".local/share/Trash/files/old.txt", ".local/share/Trash/info/old.txt.trashinfo"},
     {".local/share/Trash/files"}},
    // every browser
    {"Cookies",
     {kFirefoxCookieRows, kChromiumCookieRows},
     {kFirefoxVisitedRows, kChromiumVisitedRows, kFirefox + "cookies.sqlite"}},
    {"History",
     {kFirefoxVisitedRows, kChromiumVisitedRows},
     {kFirefoxBookmarkedRows, kFirefoxCookieRows, kChromiumCookieRows}},
    {"TemporaryInternetFiles",
     {kFirefoxCacheEntry, kChromiumCacheEntry},
     {kFirefoxCookieRows, kFirefoxVisitedRows, kChromiumVisitedRows}},
    // browser caches
    {"FirefoxCache",
     {kFirefoxCacheEntry, ".cache/mozilla/firefox/abcd.default-release/startupCache"},
     {".cache/mozilla/firefox", "snap/firefox/common/.cache/mozilla/firefox/snap1.default"}},
    {"FirefoxSnapCache",
     {"snap/firefox/common/.cache/mozilla/firefox/snap1.default"},
     {"snap/firefox/common/.cache/mozilla/firefox", kFirefoxCacheEntry}},
    {"FirefoxFlatpakCache",
     {".var/app/org.mozilla.firefox/cache/mozilla/firefox/flat1.default"},
     {".var/app/org.mozilla.firefox/cache/mozilla/firefox", kFirefoxCacheEntry}},
    {"ChromiumCache",
     {kChromiumCacheEntry, ".cache/chromium/Default/Code Cache/js/index"},
     {".cache/chromium", ".cache/google-chrome/Default/Cache/data_3"}},
    {"ChromiumSnapCache",
     {"snap/chromium/common/.cache/chromium/Default/Cache/data_1"},
     {kChromiumSnap + "Current Session", kChromiumCacheEntry}},
    {"ChromiumFlatpakCache",
     {".var/app/org.chromium.Chromium/cache/chromium/Default/Cache/data_2"},
     {kChromiumFlatpak + "Shortcuts", kChromiumCacheEntry}},
    {"ChromeCache", {".cache/google-chrome/Default/Cache/data_3"}, {kChromiumCacheEntry}},
    {"ChromeFlatpakCache",
     {".var/app/com.google.Chrome/cache/google-chrome/Default/Cache/data_4"},
     {".cache/google-chrome/Default/Cache/data_3"}},
    {"BraveCache",
     {".cache/BraveSoftware/Brave-Browser/Default/Cache/data_5"},
     {kChromiumCacheEntry}},
    {"BraveFlatpakCache",
     {".var/app/com.brave.Browser/cache/BraveSoftware/Brave-Browser/Default/Cache/data_6"},
     {".cache/BraveSoftware/Brave-Browser/Default/Cache/data_5"}},
    {"EdgeCache", {".cache/microsoft-edge/Default/Cache/data_7"}, {kChromiumCacheEntry}},
    {"EdgeFlatpakCache",
     {".var/app/com.microsoft.Edge/cache/microsoft-edge/Default/Cache/data_8"},
     {".cache/microsoft-edge/Default/Cache/data_7"}},
    {"VivaldiCache", {".cache/vivaldi/Default/Cache/data_9"}, {kChromiumCacheEntry}},
    {"VivaldiFlatpakCache",
     {".var/app/com.vivaldi.Vivaldi/cache/vivaldi/Default/Cache/data_10"},
     {".cache/vivaldi/Default/Cache/data_9"}},
    {"OperaCache", {".cache/opera/Cache/data_11"}, {kChromiumCacheEntry}},
    {"OperaFlatpakCache",
     {".var/app/com.opera.Opera/cache/opera/Cache/data_12"},
     {".cache/opera/Cache/data_11"}},
    // Firefox
    {"FirefoxSession",
     {kFirefox + "sessionstore.jsonlz4", kFirefox + "sessionstore-backups/recovery.jsonlz4",
      kFirefoxSnap + "sessionstore.jsonlz4",
      kFirefoxFlatpak + "sessionstore-backups/previous.jsonlz4"},
     {kFirefox + "sessionstore-backups", kFirefoxFlatpak + "sessionstore-backups",
      kChromium + "Current Session"}},
    {"FirefoxSiteStorage",
     {kFirefox + "storage/default/https+++example.org", kFirefox + "webappsstore.sqlite"},
     {kFirefox + "storage/default", kChromium + "Local Storage/leveldb/000003.log"}},
    {"FirefoxFormHistory",
     {kFirefox + "formhistory.sqlite", kFirefoxSnap + "formhistory.sqlite"},
     {kFirefoxCookieRows}},
    {"FirefoxVisitedHosts",
     {kFirefox + "SiteSecurityServiceState.bin", kFirefox + "AlternateServices.bin"},
     {kFirefoxVisitedRows}},
    {"FirefoxCrashReports",
     {".mozilla/firefox/Crash Reports/pending/crash.dmp",
      ".mozilla/firefox/Crash Reports/InstallTime20240101"},
     {".mozilla/firefox/Crash Reports", kFirefox + "minidumps/crash.dmp"}},
    {"FirefoxMinidumps",
     {kFirefox + "minidumps/crash.dmp"},
     {kFirefox + "minidumps", ".mozilla/firefox/Crash Reports/pending/crash.dmp"}},
    {"FirefoxCookies", {kFirefox + "cookies.sqlite"}, {kFirefox + "places.sqlite"}},
    // Chromium family
    {"ChromiumSessions",
     {kChromium + "Current Session", kChromium + "Current Tabs", kChromium + "Last Session",
      kChromium + "Last Tabs", kChromium + "Sessions/Session_13", kChrome + "Sessions/Session_14",
      kChromiumSnap + "Current Session"},
     {kChromium + "Sessions", kChrome + "Sessions", kFirefox + "sessionstore.jsonlz4"}},
    {"ChromiumSiteStorage",
     {kChromium + "Local Storage/leveldb", kChromium + "Session Storage/000003.log",
      kChromium + "IndexedDB/https_example.org_0.indexeddb.leveldb",
      kChromium + "Service Worker/Database", kChromiumFlatpak + "Local Storage/leveldb"},
     {kChromium + "Local Storage", kChromium + "IndexedDB", kChromiumFlatpak + "Local Storage",
      kFirefox + "storage/default/https+++example.org/ls/data.sqlite"}},
    {"ChromiumTopSites",
     {kChromium + "Top Sites", kChromium + "Top Sites-journal", kChrome + "Top Sites"},
     {kChromiumVisitedRows}},
    {"ChromiumFavicons",
     {kChromium + "Favicons", kChromium + "Favicons-journal", kChromiumSnap + "Favicons"},
     {kChromium + "Bookmarks"}},
    {"ChromiumShortcuts",
     {kChromium + "Shortcuts", kChromiumFlatpak + "Shortcuts"},
     {kChromiumVisitedRows}},
    {"ChromiumVisitedLinks",
     {kChromium + "Visited Links", kChromiumSecond + "Visited Links"},
     {kChromiumVisitedRows}},
    {"ChromiumPredictor", {kChromium + "Network Action Predictor"}, {kChromiumVisitedRows}},
};

// Picks the classic install's profile wherever the profile question lists it.
class ClassicProfileUi : public test::ScriptedUserInterface {
 public:
  std::string ChooseFromList(const std::string&, const std::string& list) override {
    for (const std::string& shown : SplitText(list, ';')) {
      if (shown.find("release") != std::string::npos) {
        return shown;
      }
    }
    return {};
  }
};

class ShippedItemsTest : public testing::Test {
 protected:
  ShippedItemsTest() {
    env.Set("HOME", home.string());
    env.Set("XDG_CONFIG_HOME", (home / ".config").string());
    env.Set("XDG_DATA_HOME", (home / ".local/share").string());
    env.Set("XDG_CACHE_HOME", (home / ".cache").string());
    env.Set("XDG_STATE_HOME", (home / ".local/state").string());
    for (const char* file : {"winclean.cln", "webclean.cln"}) {
      CleanItemList list;
      LoadCleanItems(std::string(HUSHVAULT_SOURCE_DIR) + "/config/" + file, list);
      items.insert(items.end(), list.begin(), list.end());
    }
  }

  // Lays the home out once, below the test's folder, and copies it into place for each
  // row: the browser databases take long to make.
  void BuildHome() {
    const fs::path laidOut = root / "laid-out";
    if (!fs::exists(laidOut)) {
      LayOut("laid-out");
    }
    fs::remove_all(home);
    fs::copy(laidOut, home, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }

  void LayOut(const std::string& folder) {
    const fs::path at = root / folder;
    const test::BrowserFixture browsers(at);
    const fs::path firefox = browsers.FirefoxProfile("abcd.default-release");
    test::AddFirefoxCookie(firefox, "sid", "example.org", "/");
    test::AddFirefoxPage(firefox, "https://visited.example/", 2);
    test::AddFirefoxPage(firefox, "https://bookmarked.example/", 1, true);
    const fs::path chromium = browsers.ChromiumProfile("chromium", "Default");
    test::AddChromiumCookie(chromium / "Network" / "Cookies", "sid", "example.org", "/");
    test::AddChromiumPage(chromium, "https://visited.example/", 2);
    root.Write(folder + "/" + kFirefoxCacheEntry, test::FirefoxCacheBytes(test::kFirefoxKey));
    root.Write(folder + "/" + kChromiumCacheEntry, test::SimpleCacheBytes(test::kChromiumKey));
    root.Write(folder + "/.mozilla/firefox/profiles.ini",
               "[Profile0]\nName=default-release\nIsRelative=1\nPath=abcd.default-release\n");
    for (const std::vector<std::string>* files : {&kHomeFiles, &kNeverTaken}) {
      for (const std::string& file : *files) {
        if (!fs::exists(at / file)) {  // the databases are there already
          root.Write(folder + "/" + file, file);
        }
      }
    }
    // A history the user sent to /dev/null is a choice, not a trace.
    fs::create_symlink("/dev/null", at / ".bash_link_history");
  }

  const CleanItem& Item(const std::string& key) const {
    for (const CleanItem& item : items) {
      if (item.Key == key) {
        return item;
      }
    }
    throw std::runtime_error("no shipped item " + key);
  }

  // Carries the item out as a checked item of a run, with every question answered yes.
  void Run(const CleanItem& item) {
    PlatformServices services = MakePlatformServices();
    // The home trash only: the trash folders of other mounted file systems are the
    // machine's, not the test's.
    services.recycleBin = std::make_unique<FreedesktopTrash>((home / ".local/share/Trash").string(),
                                                             std::vector<std::string>{}, getuid());
    const CleanActions actions = StandardCleanActions(services);
    const CleanAction* action = actions.Find(item.Kind);
    if (action == nullptr) {
      return;
    }
    ClassicProfileUi ui;
    ui.AnswerMessage(MessageAnswer::kYes);  // the trash's and the profile's question
    test::RecordingSink report;
    CleanContext context{.ui = ui, .report = report};
    (*action)(item, context);
  }

  bool Holds(const std::string& check) const {
    const size_t query = check.find('?');
    if (query == std::string::npos) {
      return fs::exists(fs::symlink_status(home / check));
    }
    const fs::path database = home / check.substr(0, query);
    return fs::exists(database) && !test::QueryRows(database, check.substr(query + 1)).empty();
  }

  void RunRows(bool profileFiles) {
    for (const Row& row : kRows) {
      const CleanItem& item = Item(row.key);
      if ((item.Kind == static_cast<int32_t>(ItemKind::BrowserFamilyFiles)) != profileFiles) {
        continue;
      }
      SCOPED_TRACE(row.key);
      BuildHome();
      for (const Checks* checks : {&row.removed, &row.kept}) {
        for (const std::string& check : *checks) {
          ASSERT_TRUE(Holds(check)) << check << " is not in the fixture home";
        }
      }
      Run(item);
      for (const std::string& check : row.removed) {
        EXPECT_FALSE(Holds(check)) << check << " should be gone";
      }
      for (const std::string& check : With(row.kept, kNeverTaken)) {
        EXPECT_TRUE(Holds(check)) << check << " should stay";
      }
    }
  }

  test::TempFolder root;
  const fs::path home = root / "home";
  test::ScopedEnvironment env;
  CleanItemList items;
};

TEST_F(ShippedItemsTest, EveryShippedItemHasOneRow) {
  std::multiset<std::string> rowKeys;
  for (const Row& row : kRows) {
    rowKeys.insert(row.key);
  }
  std::multiset<std::string> itemKeys;
  for (const CleanItem& item : items) {
    itemKeys.insert(item.Key);
  }
  EXPECT_EQ(rowKeys, itemKeys);
  EXPECT_GE(items.size(), 30u);
}

TEST_F(ShippedItemsTest, EachItemRemovesWhatItSaysAndKeepsTheRest) {
  RunRows(false);
}

TEST_F(ShippedItemsTest, EachProfileItemRemovesWhatItSaysInEveryProfile) {
  RunRows(true);
}

// Every item at once, as a user who checks the whole of both pages: the never-taken files
// and the bookmarked page stay.
TEST_F(ShippedItemsTest, CheckingEverythingKeepsPasswordsBookmarksExtensionsAndSettings) {
  BuildHome();
  for (const CleanItem& item : items) {
    Run(item);
  }
  for (const std::string& check :
       With(kNeverTaken, {kFirefoxBookmarkedRows, ".bash_link_history"})) {
    EXPECT_TRUE(Holds(check)) << check;
  }
  EXPECT_EQ(fs::read_symlink(home / ".bash_link_history"), "/dev/null");
}

}  // namespace
}  // namespace hv
