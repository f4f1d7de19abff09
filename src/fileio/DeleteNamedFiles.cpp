#include "fileio/DeleteNamedFiles.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <ranges>
#include <string_view>
#include <vector>

#include "fileio/DeleteFiles.h"
#include "fileio/FolderToClean.h"
#include "util/NamePattern.h"

namespace hv {
namespace {

using namespace FileAttribute;

std::vector<std::string_view> SplitPatterns(std::string_view masks) {
  std::vector<std::string_view> patterns;
  for (const auto part : std::views::split(masks, ';')) {
    if (!part.empty()) {
      patterns.emplace_back(part.begin(), part.end());
    }
  }
  return patterns;
}

}  // namespace

void DeleteNamedFiles(const std::string& path, const std::string& masks, bool wipe,
                      ReportSink& report, bool preview, FileSystem& files) {
  const std::optional<std::string> resolved = FolderToClean(path, HomeFolder::kAllowed);
  const std::unique_ptr<Folder> folder = resolved ? files.OpenFolder(*resolved) : nullptr;
  if (!folder) {
    return;
  }
  const std::vector<std::string_view> patterns = SplitPatterns(masks);
  for (const FolderEntry& entry : folder->List()) {
    if (report.StopRequested()) {
      return;
    }
    // Folders, devices, pipes and sockets are never this kind's to remove.
    if (entry.attributes & (kDirectory | kSystem)) {
      continue;
    }
    const bool matches = std::ranges::any_of(patterns, [&entry](std::string_view pattern) {
      return MatchesPattern(entry.name, pattern);
    });
    if (matches) {
      EraseReported(*folder, entry, wipe, report, preview);
    }
  }
}

}  // namespace hv
