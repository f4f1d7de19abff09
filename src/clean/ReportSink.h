#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/FileIdentity.h"

namespace hv {

// What kind of thing an entry of a run's report is; the totals line counts them apart.
enum class EntryType {
  kFile,           // a file of a folder, a browser profile or the trash
  kSettingsValue,  // a value of the settings store
  kSettingsKey,    // a whole key of the settings store
  kCookie,
  kHistoryEntry,
  kCacheFile,
  kTrashItem,
};

enum class EntryOutcome {
  kRemoved,
  kWouldBeRemoved,  // a preview met it
  kLeft,            // it stays; the entry says why
};

// Reasons an entry is left, worded as the report shows them.
namespace LeftReason {
inline constexpr const char* kInUse = "in use by another program";
inline constexpr const char* kBrowserOpen = "locked by a running browser";
inline constexpr const char* kPermissionDenied = "permission denied";
inline constexpr const char* kLink = "a link, not followed";
inline constexpr const char* kOtherFileSystem = "on another file system, not entered";
inline constexpr const char* kVanished = "vanished before it could be removed";
inline constexpr const char* kRefusedFolder = "folder refused";
}  // namespace LeftReason

// One thing an action removed, would remove, or had to leave.
struct ReportEntry {
  EntryType type = EntryType::kFile;
  std::string what;               // for showing: a path, "cookie of example.org", a value name
  std::optional<uint64_t> bytes;  // what removing it frees on disk, where that means anything
  EntryOutcome outcome = EntryOutcome::kRemoved;
  std::string reason;  // why it was left; empty otherwise

  bool operator==(const ReportEntry&) const = default;
};

// Where the actions of a run send each entry as they meet it: nothing is collected first,
// so a walk over a million files costs no more memory than one over ten.
class ReportSink {
 public:
  virtual ~ReportSink() = default;

  virtual void Add(const ReportEntry& entry) = 0;

  // True once the user asked the run to stop; an action looks between two entries and
  // then ends, leaving nothing half-done.
  virtual bool StopRequested() const { return false; }

  // A preview asks before it reports a file it would remove: false when the run counted
  // that file already, under an earlier item that would have removed it by now, and then
  // leaves the entry out. A sink that keeps no such count takes every file as new.
  virtual bool FirstCount(const FileIdentity& /*file*/) { return true; }
};

}  // namespace hv
