#include "fileio/DeleteFiles.h"

#include <memory>
#include <optional>

#include "fileio/FolderToClean.h"
#include "fileio/FolderWalk.h"
#include "fileio/MatchedFile.h"
#include "util/NamePattern.h"

namespace hv {
namespace {

using namespace FileAttribute;

// Why a listed plain folder could not be opened, from what its name holds now.
const char* ReasonNotEntered(const std::optional<FolderEntry>& now) {
  if (!now) {
    return LeftReason::kVanished;
  }
  if ((now->attributes & kReparsePoint) == 0) {
    return LeftReason::kPermissionDenied;
  }
  return (now->attributes & kDirectory) ? LeftReason::kOtherFileSystem : LeftReason::kLink;
}

}  // namespace

void DeleteFiles(const std::string& path, const std::string& mask, bool wipe, ReportSink& report,
                 bool preview, FileSystem& files) {
  const std::optional<std::string> resolved = FolderToClean(path, HomeFolder::kRefused);
  const std::unique_ptr<Folder> folder = resolved ? files.OpenFolder(*resolved) : nullptr;
  if (!folder) {
    return;
  }
  const auto visit = [&](Folder& holder, const FolderEntry& entry) {
    if (report.StopRequested()) {
      return false;
    }
    if (entry.attributes & kDirectory) {
      // Only an empty folder goes; anything else stays. A mount point is never empty to
      // the system, but was not entered either: that is worth saying.
      const bool removed = !preview && holder.RemoveFolder(entry.name);
      if (!removed && (entry.attributes & kReparsePoint)) {
        ReportLeft(report, holder, entry, LeftReason::kOtherFileSystem);
      }
    } else if (MatchesPattern(entry.name, mask)) {
      TakeMatchedFile(holder, entry, wipe, preview, report);
    }
    return true;
  };
  const auto unopened = [&](Folder& holder, const FolderEntry& entry) {
    if (report.StopRequested()) {
      return false;
    }
    ReportLeft(report, holder, entry, ReasonNotEntered(holder.FindEntry(entry.name)));
    return true;
  };
  WalkDeepestFirst(*folder, visit, unopened);
}

}  // namespace hv
