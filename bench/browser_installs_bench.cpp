// How long finding every browser profile takes, and the preview and the run of the browser
// family items over them, on a home holding every install kind: Firefox (classic, XDG,
// snap, Flatpak) and the Chromium family (XDG, snap, Flatpak), kProfiles profiles each
// with kFiles session and site-storage files.
//
// Given a home folder instead (a sandbox home where real browsers wrote their profiles), it
// lists the profiles found there and what each item would remove, and with --clean then
// removes it and tells what went and what stayed.
//
// Usage: browser_installs_bench [HOME [--clean]]
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "QuietUserInterface.h"
#include "ReportSinks.h"
#include "clean/BrowserFamilyCleanup.h"
#include "platform/posix/browser/InstalledBrowserProfiles.h"

namespace {

namespace fs = std::filesystem;

constexpr int kProfiles = 5;
constexpr int kFiles = 200;

// The browser family items, as a definition file would hold them.
const std::vector<hv::CleanItem> kItems = {
    {"firefoxSession", "", 9, "firefox",
     "sessionstore.jsonlz4;sessionstore-backups/*;storage/default/*;webappsstore.sqlite*"},
    {"chromiumSession", "", 9, "chromium",
     "Current Session;Current Tabs;Last Session;Last Tabs;Sessions/*;Local Storage/*;"
     "Session Storage/*;IndexedDB/*;Service Worker/*"},
    {"firefoxCache", "", 9, "firefox-cache", "cache2/*"},
    {"chromiumCache", "", 9, "chromium-cache", "Cache/*;Code Cache/*"},
    {"firefoxCrashes", "", 9, "firefox-installs", "Crash Reports/*"},
    {"chromiumCrashes", "", 9, "chromium-installs", "Crash Reports/*"},
};

void Write(const fs::path& file) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << std::string(512, 'x');
}

// Each install's profiles, filled with files the items remove.
void BuildHome(const fs::path& home) {
  const char* firefox[] = {".mozilla/firefox", ".config/mozilla/firefox",
                           "snap/firefox/common/.mozilla/firefox",
                           ".var/app/org.mozilla.firefox/.mozilla/firefox"};
  const char* chromium[] = {".config/chromium", "snap/chromium/common/chromium",
                            ".var/app/org.chromium.Chromium/config/chromium",
                            ".config/google-chrome", ".config/BraveSoftware/Brave-Browser"};
  for (int p = 0; p < kProfiles; ++p) {
    for (const char* root : firefox) {
      const fs::path profile = home / root / ("p" + std::to_string(p) + ".default");
      Write(profile / "prefs.js");
      for (int f = 0; f < kFiles; ++f) {
        Write(profile / "storage/default" / ("https+++site" + std::to_string(f)) / "ls/data");
      }
    }
    for (const char* root : chromium) {
      const fs::path profile = home / root / (p == 0 ? "Default" : "Profile " + std::to_string(p));
      for (int f = 0; f < kFiles; ++f) {
        Write(profile / "Local Storage/leveldb" / (std::to_string(f) + ".log"));
      }
    }
  }
}

hv::BrowserFolders FoldersOf(const fs::path& home) {
  return {home.string(), (home / ".config").string(), (home / ".cache").string()};
}

void Run(hv::BrowserProfiles& profiles, const hv::CleanItem& item, bool preview,
         bench::CountingSink& sink) {
  bench::QuietUserInterface ui;
  hv::CleanContext context{.ui = ui, .report = sink, .preview = preview};
  hv::CleanBrowserFamilyAction(profiles, hv::NativeFileSystem())(item, context);
}

// What the items find in a real home, and with clean set what they remove.
void Examine(const fs::path& home, bool clean) {
  hv::InstalledBrowserProfiles profiles(FoldersOf(home));
  const hv::BrowserProfileList found = profiles.Profiles();
  for (const hv::BrowserProfile& profile : found.profiles) {
    std::printf("profile  %-16s %-8s %s  cache: %s\n", profile.browser.c_str(),
                profile.install.empty() ? "-" : profile.install.c_str(), profile.folder.c_str(),
                profile.cacheFolder.empty() ? "-" : profile.cacheFolder.c_str());
  }
  for (const hv::UnreadableFolder& folder : found.unreadable) {
    std::printf("unreadable %s (%s)\n", folder.path.c_str(), folder.reason.c_str());
  }
  for (const hv::CleanItem& item : kItems) {
    bench::CountingSink previewed;
    Run(profiles, item, true, previewed);
    std::printf("%-16s preview: %llu entries, %llu bytes\n", item.Key.c_str(),
                static_cast<unsigned long long>(previewed.entries),
                static_cast<unsigned long long>(previewed.bytes));
    if (clean) {
      bench::CountingSink removed;
      Run(profiles, item, false, removed);
      bench::CountingSink left;
      Run(profiles, item, true, left);
      std::printf("%-16s clean:   %llu entries, %llu bytes; a preview after it: %llu\n",
                  item.Key.c_str(), static_cast<unsigned long long>(removed.entries),
                  static_cast<unsigned long long>(removed.bytes),
                  static_cast<unsigned long long>(left.entries));
    }
  }
}

void Benchmark() {
  char scratch[] = "/tmp/browser-installs-bench-XXXXXX";
  if (mkdtemp(scratch) == nullptr) {
    std::perror("mkdtemp");
    std::exit(1);
  }
  const fs::path home = fs::path(scratch) / "home";
  BuildHome(home);
  hv::InstalledBrowserProfiles profiles(FoldersOf(home));
  std::printf("%zu profiles, %d files each\n", profiles.Profiles().profiles.size(), kFiles);
  Measure("finding every profile", 20, [&] { profiles.Profiles(); });
  for (const hv::CleanItem& item : {kItems[0], kItems[1]}) {
    bench::CountingSink sink;
    Measure((item.Key + ": preview").c_str(), 5, [&] { Run(profiles, item, true, sink); });
    Measure((item.Key + ": run").c_str(), 1, [&] { Run(profiles, item, false, sink); });
  }
  fs::remove_all(scratch);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc >= 2) {
    Examine(argv[1], argc >= 3 && std::string(argv[2]) == "--clean");
  } else {
    Benchmark();
  }
  return 0;
}
