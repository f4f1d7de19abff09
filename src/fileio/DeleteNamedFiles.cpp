#include "fileio/DeleteNamedFiles.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "fileio/DeleteFiles.h"
#include "fileio/FolderToClean.h"
#include "util/NamePattern.h"
#include "util/SplitText.h"

namespace hv {

void DeleteNamedFiles(const std::string& path, const std::string& masks, bool wipe,
                      ReportSink& report, bool preview, FileSystem& files) {
  const std::optional<std::string> resolved = FolderToClean(path, HomeFolder::kAllowed);
  const std::unique_ptr<Folder> folder = resolved ? files.OpenFolder(*resolved) : nullptr;
  if (!folder) {
    return;
  }
  const std::vector<std::string> patterns = SplitText(masks, ';');
  for (const FolderEntry& entry : folder->List()) {
    if (report.StopRequested()) {
      return;
    }
    // Folders, devices, pipes and sockets are never this kind's to remove.
    if (entry.attributes & (FileAttribute::kDirectory | FileAttribute::kSystem)) {
      continue;
    }
    const bool matches = std::ranges::any_of(patterns, [&entry](const std::string& pattern) {
      return MatchesPattern(entry.name, pattern);
    });
    if (matches) {
      EraseReported(*folder, entry, wipe, report, preview);
    }
  }
}

}  // namespace hv
