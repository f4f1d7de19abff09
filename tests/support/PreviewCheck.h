#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "TempFolder.h"
#include "clean/ReportSink.h"

namespace hv::test {

// Everything below root that a change would show in, by path relative to root: each
// entry's type, permissions and modification time, a file's bytes, a link's target. Two
// equal snapshots mean nothing below root was created, removed, written, renamed or
// re-moded in between.
inline std::map<std::string, std::string> SnapshotTree(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> snapshot;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(
           root, fs::directory_options::skip_permission_denied, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    const fs::path& path = it->path();
    const fs::file_status status = fs::symlink_status(path);
    // Appended piece by piece: GCC 12 misjudges "text" + std::string as overlapping copies.
    std::string state = std::to_string(static_cast<int>(status.type()));
    state += ' ';
    state += std::to_string(static_cast<int>(status.permissions()));
    if (fs::is_symlink(status)) {
      state += " -> ";
      state += fs::read_symlink(path).string();
    } else {
      state += ' ';
      state += std::to_string(fs::last_write_time(path).time_since_epoch().count());
      if (fs::is_regular_file(status) &&
          (status.permissions() & fs::perms::owner_read) != fs::perms::none) {
        state += ' ';
        state += ReadFile(path);
      }
    }
    snapshot[fs::relative(path, root).string()] = state;
  }
  return snapshot;
}

// What a real run reports where a preview reported entries: each "would be removed"
// becomes "removed", everything else stays as it is.
inline std::vector<ReportEntry> AsCleaned(std::vector<ReportEntry> previewed) {
  for (ReportEntry& entry : previewed) {
    if (entry.outcome == EntryOutcome::kWouldBeRemoved) {
      entry.outcome = EntryOutcome::kRemoved;
    }
  }
  return previewed;
}

}  // namespace hv::test
