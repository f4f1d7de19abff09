// The running-browser guard over browser stores built by the tests, with locks held by
// another process the way the browsers hold them.

#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BrowserFixture.h"
#include "BrowserLockHolder.h"
#include "InMemoryDocument.h"
#include "ScopedEnvironment.h"
#include "ScriptedUserInterface.h"
#include "ShownEntries.h"
#include "TempFolder.h"
#include "clean/BrowserGuard.h"
#include "clean/CleanRun.h"
#include "clean/RunReport.h"
#include "clean/StandardCleanActions.h"
#include "platform/PlatformServices.h"
#include "platform/posix/FreedesktopTrash.h"
#include "platform/posix/browser/BrowserUrlCache.h"
#include "platform/posix/browser/InstalledBrowserProfiles.h"
#include "platform/posix/browser/RunningBrowserLocks.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::BrowserLockHolder;
using Style = BrowserLockHolder::Style;

const std::string kFirefoxOpen =
    "Firefox is open. Close it to clean its cookies, history and files, then press Retry.";
const std::string kBothOpen =
    "Firefox and Chromium are open. Close them to clean their cookies, history and files, "
    "then press Retry.";
constexpr int kQuestionStyle = MessageStyle::kAbortRetryIgnore | MessageStyle::kExclamation;

class NoRestart : public RestartService {
 public:
  bool RequestRestart() override { return false; }
};

// A home with one Firefox and one Chromium profile, each with a cookie, a visited page and
// a cache file, and the user's folders pointed at it.
class BrowserGuardTest : public testing::Test {
 protected:
  BrowserGuardTest()
      : browsers(temp / "home"),
        firefox(browsers.FirefoxProfile("abcd.default")),
        chromium(browsers.ChromiumProfile("chromium", "Default")),
        firefoxCacheFile(
            temp.Write("home/.cache/mozilla/firefox/abcd.default/cache2/entries/A1", "cached")),
        chromiumCacheFile(
            temp.Write("home/.cache/chromium/Default/Cache/Cache_Data/f_000001", "cached")) {
    environment.Set("HOME", browsers.home.string());
    environment.Set("XDG_CONFIG_HOME", browsers.config.string());
    environment.Set("XDG_CACHE_HOME", browsers.cache.string());
    test::AddFirefoxCookie(firefox, "sid", ".example.org", "/");
    test::AddFirefoxPage(firefox, "https://example.org/", 2);
    test::AddChromiumCookie(chromium / "Network" / "Cookies", "sid", ".example.net", "/");
    test::AddChromiumPage(chromium, "https://example.net/", 1);

    services.recycleBin = std::make_unique<FreedesktopTrash>(FreedesktopTrash::ForCurrentUser());
    services.urlCache = std::make_unique<BrowserUrlCache>(browsers.Folders());
    services.browserProfiles = std::make_unique<InstalledBrowserProfiles>(browsers.Folders());
    services.runningBrowsers = std::make_unique<RunningBrowserLocks>(browsers.Folders());
    for (const CleanItem& item : items) {
      document.Box(item.Key, true);
    }
  }

  fs::path ChromiumUserData() const { return browsers.config / "chromium"; }

  void Run(bool preview = false) {
    const CleanActions actions = StandardCleanActions(services);
    NoRestart restart;
    CleanRun(items, document, ui, actions, restart, {.preview = preview, .report = &report});
  }

  size_t FirefoxCookies() const {
    return test::QueryRows(firefox / "cookies.sqlite", "SELECT host FROM moz_cookies").size();
  }
  size_t ChromiumCookies() const {
    return test::QueryRows(chromium / "Network" / "Cookies", "SELECT host_key FROM cookies").size();
  }

  // Every entry of the report left with that reason, by what it names.
  std::vector<std::string> LeftBecause(const std::string& reason) const {
    std::vector<std::string> names;
    for (const ReportEntry& entry : test::ShownEntries(report)) {
      if (entry.outcome == EntryOutcome::kLeft && entry.reason == reason) {
        names.push_back(entry.what);
      }
    }
    std::ranges::sort(names);
    return names;
  }

  test::TempFolder temp;
  test::ScopedEnvironment environment;
  test::BrowserFixture browsers;
  fs::path firefox;
  fs::path chromium;
  fs::path firefoxCacheFile;
  fs::path chromiumCacheFile;
  PlatformServices services;
  const CleanItemList items = {
      {"Cookies", "delete cookies", 3, "", "", false, false, false},
      {"History", "clear history", 4, "", "", false, false, false},
      {"FirefoxCache", "delete the Firefox cache", 2, "%Cache%/mozilla/firefox/", "*", false, false,
       false},
      {"ChromiumCache", "delete the Chromium cache", 2, "%Cache%/chromium/", "*", false, false,
       false},
  };
  test::InMemoryDocument document;
  test::ScriptedUserInterface ui;
  RunReport report;
};

TEST_F(BrowserGuardTest, RetryAfterTheBrowserClosedCleansEverything) {
  BrowserLockHolder open(firefox, Style::kFirefox);
  ui.whileAsked = [&](const std::string& text) {
    if (text == kFirefoxOpen) {
      open.Release();
    }
  };
  ui.AnswerMessage(MessageAnswer::kRetry);
  ui.AnswerMessage(MessageAnswer::kOk);
  Run();

  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0],
            (test::ScriptedUserInterface::Message{kFirefoxOpen, kQuestionStyle, kAppTitle}));
  EXPECT_EQ(ui.messages[1].text, "Cleanup Complete!");
  EXPECT_EQ(FirefoxCookies(), 0u);
  EXPECT_EQ(ChromiumCookies(), 0u);
  EXPECT_FALSE(fs::exists(firefoxCacheFile));
  EXPECT_FALSE(fs::exists(chromiumCacheFile));
}

TEST_F(BrowserGuardTest, RetryWhileStillOpenAsksAgain) {
  BrowserLockHolder open(firefox, Style::kFirefox);
  ui.whileAsked = [&, asked = 0](const std::string&) mutable {
    if (++asked == 2) {
      open.Release();
    }
  };
  ui.AnswerMessage(MessageAnswer::kRetry);
  ui.AnswerMessage(MessageAnswer::kRetry);
  ui.AnswerMessage(MessageAnswer::kOk);
  Run();

  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.messages[0].text, kFirefoxOpen);
  EXPECT_EQ(ui.messages[1].text, kFirefoxOpen);
  EXPECT_EQ(FirefoxCookies(), 0u);
}

TEST_F(BrowserGuardTest, IgnoreAsksOnceAndLeavesTheOpenBrowsersStoresAndFiles) {
  const BrowserLockHolder firefoxOpen(firefox, Style::kFirefox);
  const BrowserLockHolder chromiumOpen(ChromiumUserData(), Style::kChromium);
  ui.AnswerMessage(MessageAnswer::kIgnore);
  ui.AnswerMessage(MessageAnswer::kOk);
  Run();

  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, kBothOpen);
  EXPECT_NE(ui.messages[1].text.find("browser open"), std::string::npos) << ui.messages[1].text;
  EXPECT_EQ(FirefoxCookies(), 1u);
  EXPECT_EQ(ChromiumCookies(), 1u);
  EXPECT_TRUE(fs::exists(firefoxCacheFile));
  EXPECT_TRUE(fs::exists(chromiumCacheFile));
  std::vector<std::string> expected = {
      (browsers.cache / "chromium/Default").string(),
      (browsers.cache / "mozilla/firefox/abcd.default").string(),
      (chromium / "Network" / "Cookies").string(),
      (chromium / "History").string(),
      (firefox / "cookies.sqlite").string(),
      (firefox / "places.sqlite").string(),
  };
  std::ranges::sort(expected);
  EXPECT_EQ(LeftBecause(LeftReason::kBrowserOpen), expected);
}

TEST_F(BrowserGuardTest, AbortEndsTheRunBeforeTheItemAndEnablesTheWindow) {
  const BrowserLockHolder open(ChromiumUserData(), Style::kChromium);
  ui.AnswerMessage(MessageAnswer::kAbort);
  Run();

  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "Chromium is open. Close it to clean its cookies, history and files, then press "
            "Retry.");
  EXPECT_TRUE(ui.enabled);
  EXPECT_EQ(ui.caption, kMainCaption);
  EXPECT_EQ(FirefoxCookies(), 1u);  // the run ended before the first item
  EXPECT_TRUE(fs::exists(firefoxCacheFile));
}

TEST_F(BrowserGuardTest, APreviewAsksNothingAndShowsTheOpenBrowsersStoresAsLeft) {
  const BrowserLockHolder open(firefox, Style::kFirefoxParentLockOnly);
  Run(true);

  EXPECT_TRUE(ui.messages.empty());
  std::vector<std::string> expected = {
      (browsers.cache / "mozilla/firefox/abcd.default").string(),
      (firefox / "cookies.sqlite").string(),
      (firefox / "places.sqlite").string(),
  };
  std::ranges::sort(expected);
  EXPECT_EQ(LeftBecause(LeftReason::kBrowserOpen), expected);
  EXPECT_EQ(FirefoxCookies(), 1u);
  EXPECT_EQ(ChromiumCookies(), 1u);
}

TEST_F(BrowserGuardTest, TheFilesOfEveryProfileOfAFamilyStayWhileItsBrowserIsOpen) {
  const BrowserLockHolder open(firefox, Style::kFirefox);
  const fs::path session = temp.Write("home/.mozilla/firefox/abcd.default/sessionstore.bak", "");
  const CleanItem family = {"Family", "family", 9, "firefox", "*.bak", false, false, false};
  document.Box(family.Key, true);
  ui.AnswerMessage(MessageAnswer::kIgnore);
  ui.AnswerMessage(MessageAnswer::kOk);
  const CleanActions actions = StandardCleanActions(services);
  NoRestart restart;
  CleanRun({family}, document, ui, actions, restart, {.report = &report});

  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, kFirefoxOpen);
  EXPECT_TRUE(fs::exists(session));
  EXPECT_EQ(LeftBecause(LeftReason::kBrowserOpen),
            std::vector<std::string>{firefox.string() + "/"});
}

// A file item whose folder holds nothing of a browser runs without a question.
TEST_F(BrowserGuardTest, AFileItemAwayFromTheBrowsersFoldersAsksNothing) {
  const BrowserLockHolder open(firefox, Style::kFirefox);
  const fs::path thumbnail = temp.Write("home/.cache/thumbnails/large/a.png", "png");
  const CleanItem thumbnails = {"Thumbnails", "thumbnails", 2,     "%Cache%/thumbnails/",
                                "*.png",      false,        false, false};
  document.Box(thumbnails.Key, true);
  ui.AnswerMessage(MessageAnswer::kOk);
  const CleanActions actions = StandardCleanActions(services);
  NoRestart restart;
  CleanRun({thumbnails}, document, ui, actions, restart, {.report = &report});

  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Cleanup Complete!");
  EXPECT_FALSE(fs::exists(thumbnail));
}

// A lock left behind by a browser that crashed, or taken on another machine sharing the
// home folder, is no running browser: nothing is asked and everything is cleaned.
TEST_F(BrowserGuardTest, StaleLocksAreNotRunningBrowsers) {
  const std::string ended = std::to_string(test::EndedProcess());
  const std::string alive = std::to_string(getpid());
  fs::create_symlink(test::ThisHost() + ":+" + ended, firefox / "lock");
  std::ofstream(firefox / ".parentlock").put('\0');  // left by every Firefox that exits
  fs::create_symlink("elsewhere.invalid-" + alive, ChromiumUserData() / "SingletonLock");
  ui.AnswerMessage(MessageAnswer::kOk);
  Run();

  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Cleanup Complete!");
  EXPECT_EQ(FirefoxCookies(), 0u);
  EXPECT_EQ(ChromiumCookies(), 0u);
}

// Which lock means a running browser, straight from the lock finder.
TEST(RunningBrowserLocksTest, OnlyLiveLocksOfThisMachineCount) {
  struct Case {
    const char* what;
    std::optional<Style> held;  // a live holder in another process
    std::string firefoxLink;    // a "lock" link written directly, if any
    std::string chromiumLink;   // a "SingletonLock" link written directly, if any
    std::vector<std::string> running;
  };
  const std::string host = test::ThisHost();
  const std::string alive = std::to_string(getpid());
  const std::string ended = std::to_string(test::EndedProcess());
  const std::vector<Case> cases = {
      {"Firefox holding both locks", Style::kFirefox, "", "", {"Firefox"}},
      {"Firefox holding only its fcntl lock", Style::kFirefoxParentLockOnly, "", "", {"Firefox"}},
      {"Chromium holding its link", Style::kChromium, "", "", {"Chromium"}},
      {"Firefox link of an ended process", {}, host + ":+" + ended, "", {}},
      {"Firefox link of another host", {}, "elsewhere.invalid:+" + alive, "", {}},
      {"Firefox link of this host and a live process", {}, host + ":+" + alive, "", {"Firefox"}},
      {"Chromium link of an ended process", {}, "", host + "-" + ended, {}},
      {"Chromium link of another host", {}, "", "elsewhere.invalid-" + alive, {}},
      {"Chromium link without a process id", {}, "", host + "-", {}},
      {"no locks at all", {}, "", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempFolder temp;
    const test::BrowserFixture browsers(temp / "home");
    const fs::path firefox = browsers.FirefoxProfile("abcd.default");
    const fs::path userData = browsers.ChromiumProfile("chromium", "Default").parent_path();
    if (!c.firefoxLink.empty()) {
      fs::create_symlink(c.firefoxLink, firefox / "lock");
    }
    if (!c.chromiumLink.empty()) {
      fs::create_symlink(c.chromiumLink, userData / "SingletonLock");
    }
    std::optional<BrowserLockHolder> holder;
    if (c.held) {
      holder.emplace(*c.held == Style::kChromium ? userData : firefox, *c.held);
    }
    std::vector<std::string> names;
    for (const RunningBrowser& browser : RunningBrowserLocks(browsers.Folders()).Find()) {
      names.push_back(browser.name);
    }
    EXPECT_EQ(names, c.running);
  }
}

TEST(BrowserOpenQuestionTest, NamesEveryRunningBrowser) {
  EXPECT_EQ(BrowserOpenQuestion({"Firefox"}), kFirefoxOpen);
  EXPECT_EQ(BrowserOpenQuestion({"Firefox", "Chromium"}), kBothOpen);
  EXPECT_EQ(BrowserOpenQuestion({"Firefox", "Chromium", "Vivaldi"}),
            "Firefox, Chromium and Vivaldi are open. Close them to clean their cookies, history "
            "and files, then press Retry.");
}

}  // namespace
}  // namespace hv
