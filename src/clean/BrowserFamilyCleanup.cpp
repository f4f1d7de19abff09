#include "clean/BrowserFamilyCleanup.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "fileio/DeleteFiles.h"
#include "platform/BrowserProfiles.h"
#include "util/NamePattern.h"
#include "util/SplitText.h"

namespace hv {
namespace {

using namespace FileAttribute;

// Which folders of a browser family an item reaches.
enum class Reach { kProfiles, kCaches, kInstalls };

// What an item's path names: a family, and which of its folders.
struct Target {
  const char* name;
  BrowserFamily family;
  Reach reach;
};

constexpr Target kTargets[] = {
    {"firefox", BrowserFamily::kFirefox, Reach::kProfiles},
    {"chromium", BrowserFamily::kChromium, Reach::kProfiles},
    {"firefox-cache", BrowserFamily::kFirefox, Reach::kCaches},
    {"chromium-cache", BrowserFamily::kChromium, Reach::kCaches},
    {"firefox-installs", BrowserFamily::kFirefox, Reach::kInstalls},
    {"chromium-installs", BrowserFamily::kChromium, Reach::kInstalls},
};

// The folders of the target's family that it reaches, each ending with a separator.
std::vector<std::string> FoldersOf(const Target& target, const BrowserProfileList& found) {
  std::vector<std::string> folders;
  if (target.reach == Reach::kInstalls) {
    for (const BrowserInstallFolder& install : found.installs) {
      if (install.family == target.family) {
        folders.push_back(install.folder);
      }
    }
    return folders;
  }
  for (const BrowserProfile& profile : found.profiles) {
    const std::string& folder =
        target.reach == Reach::kCaches ? profile.cacheFolder : profile.folder;
    if (profile.family == target.family && !folder.empty()) {
      folders.push_back(folder);
    }
  }
  return folders;
}

const Target* TargetNamed(const std::string& name) {
  for (const Target& target : kTargets) {
    if (name == target.name) {
      return &target;
    }
  }
  return nullptr;
}

void ReportLeft(ReportSink& report, const std::string& what, const std::string& reason) {
  report.Add({.type = EntryType::kFile,
              .what = what,
              .bytes = {},
              .outcome = EntryOutcome::kLeft,
              .reason = reason});
}

bool IsPlainFolder(const FolderEntry& entry) {
  return (entry.attributes & ~kHidden) == kDirectory;
}

bool IsFile(const FolderEntry& entry) {
  return (entry.attributes & (kDirectory | kSystem)) == 0;
}

// One pattern's walk: the folders to descend into, part by part, and in each folder
// reached the files to erase, or with no file pattern, its whole content.
struct PatternWalk {
  std::vector<std::string> folders;
  std::optional<std::string> files;
  bool wipe;
  ReportSink& report;
  bool preview;
  const PathFence& fence;

  // folder is the one that folders[0..depth) led to.
  void Visit(Folder& folder, size_t depth) const {
    if (depth == folders.size()) {
      Clean(folder);
      return;
    }
    for (const FolderEntry& entry : folder.List()) {
      if (report.StopRequested()) {
        return;
      }
      if (!MatchesPattern(entry.name, folders[depth])) {
        continue;
      }
      if (entry.attributes & kReparsePoint) {
        // A link, or a folder where another volume is mounted: not entered.
        ReportLeft(
            report, folder.Path() + entry.name,
            (entry.attributes & kDirectory) ? LeftReason::kOtherFileSystem : LeftReason::kLink);
      } else if (const std::string* kept = FencedBecause(fence, folder, entry)) {
        ReportLeft(report, folder.Path() + entry.name, *kept);
      } else if (IsPlainFolder(entry)) {
        if (const std::unique_ptr<Folder> inner = folder.OpenSubfolder(entry.name)) {
          Visit(*inner, depth + 1);
        } else if (folder.FindEntry(entry.name)) {
          ReportLeft(report, folder.Path() + entry.name, LeftReason::kPermissionDenied);
        }
      }
    }
  }

  void Clean(Folder& folder) const {
    if (!files) {
      DeleteFilesIn(folder, "*", wipe, report, preview, true, fence);
      return;
    }
    for (const FolderEntry& entry : folder.List()) {
      if (report.StopRequested()) {
        return;
      }
      if ((IsFile(entry) || (entry.attributes & kReparsePoint)) &&
          MatchesPattern(entry.name, *files)) {
        EraseReported(folder, entry, wipe, report, preview, fence);
      }
    }
  }
};

}  // namespace

void CleanProfileFiles(Folder& profile, const std::vector<std::string>& patterns, bool wipe,
                       ReportSink& report, bool preview, const PathFence& fence) {
  for (const std::string& pattern : patterns) {
    const std::vector<std::string> parts = SplitText(pattern, '/');
    if (parts.empty() || report.StopRequested()) {
      continue;
    }
    PatternWalk walk{parts, parts.back(), wipe, report, preview, fence};
    walk.folders.pop_back();
    // "X/*" names X's content, which goes whole, X itself staying.
    if (parts.size() > 1 && parts.back() == "*") {
      walk.files.reset();
    }
    walk.Visit(profile, 0);
  }
}

CleanAction CleanBrowserFamilyAction(BrowserProfiles& profiles, FileSystem& files) {
  return [&profiles, &files](const CleanItem& item, CleanContext& context) {
    const Target* target = TargetNamed(item.Path);
    if (target == nullptr) {
      ReportLeft(context.report, "browser family '" + item.Path + "'",
                 "not one of firefox, chromium, firefox-cache, chromium-cache, "
                 "firefox-installs, chromium-installs");
      return;
    }
    const std::vector<std::string> patterns = SplitText(item.Mask, ';');
    const BrowserProfileList found = profiles.Profiles();
    for (const UnreadableFolder& folder : found.unreadable) {
      if (folder.family == target->family) {
        ReportLeft(context.report, folder.path, folder.reason);
      }
    }
    for (const std::string& path : FoldersOf(*target, found)) {
      if (context.report.StopRequested()) {
        return;
      }
      if (const std::string* kept = context.fence.ReasonFor(path.substr(0, path.size() - 1))) {
        ReportLeft(context.report, path, *kept);
      } else if (const std::unique_ptr<Folder> folder = files.OpenFolder(path)) {
        CleanProfileFiles(*folder, patterns, context.wipe, context.report, context.preview,
                          context.fence);
      } else if (files.FindEntry(path.substr(0, path.size() - 1))) {
        // Still there, yet it cannot be opened; one that vanished meanwhile has nothing left.
        ReportLeft(context.report, path, LeftReason::kPermissionDenied);
      }
    }
  };
}

}  // namespace hv
