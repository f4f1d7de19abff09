#include "fileio/MatchedFile.h"

#include "fileio/EraseFile.h"

namespace hv {
namespace {

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

}  // namespace

void ReportLeft(ReportSink& report, Folder& folder, const FolderEntry& entry, const char* reason) {
  report.Add({.type = EntryType::kFile,
              .what = folder.Path() + entry.name,
              .bytes = {},
              .outcome = EntryOutcome::kLeft,
              .reason = reason});
}

void TakeMatchedFile(Folder& folder, const FolderEntry& entry, bool wipe, bool preview,
                     ReportSink& report) {
  if (entry.attributes & FileAttribute::kReparsePoint) {
    ReportLeft(report, folder, entry, LeftReason::kLink);
    return;
  }
  // A preview does not ask whether another program holds the file: that takes a lease on
  // each one, which costs several times the listing itself.
  if (!preview) {
    const Erasure erased = Erase(folder, entry.name, wipe);
    if (!erased.removed) {
      ReportLeft(report, folder, entry, ReasonLeft(erased.access));
      return;
    }
  }
  report.Add({.type = EntryType::kFile,
              .what = folder.Path() + entry.name,
              .bytes = entry.allocatedBytes,
              .outcome = preview ? EntryOutcome::kWouldBeRemoved : EntryOutcome::kRemoved,
              .reason = {}});
}

}  // namespace hv
