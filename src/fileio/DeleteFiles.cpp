#include "fileio/DeleteFiles.h"

#include <memory>
#include <optional>

#include "fileio/EraseFile.h"
#include "fileio/FolderToClean.h"
#include "fileio/FolderWalk.h"
#include "util/NamePattern.h"

namespace hv {
namespace {

using namespace FileAttribute;

// A file that could be taken on but not removed: the system gave no reason to show.
constexpr const char* kNotRemoved = "could not be removed";

// Why a matching file stays, from what the probe or the erasure found.
const char* ReasonLeft(FileAccess access) {
  switch (access) {
    case FileAccess::kMissing:
    case FileAccess::kNotAFile:  // what was listed as a file is something else now
      return LeftReason::kVanished;
    case FileAccess::kDenied:
      return LeftReason::kPermissionDenied;
    case FileAccess::kInUse:
      return LeftReason::kInUse;
    case FileAccess::kExclusive:
      break;
  }
  return kNotRemoved;
}

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

void ReportLeft(ReportSink& report, Folder& folder, const FolderEntry& entry, const char* reason) {
  report.Add({.type = EntryType::kFile,
              .what = folder.Path() + entry.name,
              .bytes = {},
              .outcome = EntryOutcome::kLeft,
              .reason = reason});
}

}  // namespace

void EraseReported(Folder& folder, const FolderEntry& entry, bool wipe, ReportSink& report,
                   bool preview) {
  if (entry.attributes & kReparsePoint) {
    ReportLeft(report, folder, entry, LeftReason::kLink);  // neither followed nor removed
    return;
  }
  // A preview does not ask whether another program holds the file: that takes a lease on
  // each one, which costs several times the listing itself. The run tells. What a file
  // takes up comes from a look the erasure makes anyway, or from one at that file alone.
  std::optional<uint64_t> bytes = entry.allocatedBytes;
  if (!preview) {
    const Erasure erased = Erase(folder, entry.name, wipe);
    if (!erased.removed) {
      ReportLeft(report, folder, entry, ReasonLeft(erased.access));
      return;
    }
    if (erased.allocatedBytes) {
      bytes = erased.allocatedBytes;  // fresher than the listing's
    }
  } else {
    FileIdentity identity = entry.identity;
    if (!bytes || !identity.Known()) {
      const std::optional<FolderEntry> now = folder.FindEntry(entry.name);
      if (!now) {
        ReportLeft(report, folder, entry, LeftReason::kVanished);
        return;
      }
      bytes = now->allocatedBytes;
      identity = now->identity;
    }
    if (identity.Known() && !report.FirstCount(identity)) {
      return;  // an earlier item of the run would have removed it already
    }
  }
  report.Add({.type = EntryType::kFile,
              .what = folder.Path() + entry.name,
              .bytes = bytes,
              .outcome = preview ? EntryOutcome::kWouldBeRemoved : EntryOutcome::kRemoved,
              .reason = {}});
}

void DeleteFilesIn(Folder& folder, const std::string& mask, bool wipe, ReportSink& report,
                   bool preview, bool hiddenToo) {
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
      EraseReported(holder, entry, wipe, report, preview);
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
  WalkDeepestFirst(folder, visit, unopened, hiddenToo);
}

void DeleteFiles(const std::string& path, const std::string& mask, bool wipe, ReportSink& report,
                 bool preview, FileSystem& files) {
  const std::optional<std::string> resolved = FolderToClean(path, HomeFolder::kRefused);
  const std::unique_ptr<Folder> folder = resolved ? files.OpenFolder(*resolved) : nullptr;
  if (folder) {
    DeleteFilesIn(*folder, mask, wipe, report, preview);
  }
}

}  // namespace hv
