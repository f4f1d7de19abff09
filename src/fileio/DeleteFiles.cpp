#include "fileio/DeleteFiles.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>

#include "fileio/EraseFile.h"
#include "fileio/FolderWalk.h"
#include "util/NamePattern.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using namespace FileAttribute;

constexpr const char* kErrorSource = "Hushvault";
constexpr long kInvalidArgument = 5;

[[noreturn]] void Refuse(const std::string& path, const std::string& reason) {
  throw NumberedError(kInvalidArgument, kErrorSource,
                      "Refusing to delete files in '" + path + "': " + reason);
}

// True for the home folder and for every folder above it: cleaning one of them would reach
// into everything the user keeps.
bool HoldsHomeFolder(const fs::path& folder) {
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    return false;
  }
  std::error_code error;
  const fs::path resolvedHome = fs::canonical(home, error);
  if (error) {
    return false;
  }
  const auto [folderEnd, homeEnd] = std::ranges::mismatch(folder, resolvedHome);
  return folderEnd == folder.end();
}

// The folder to clean, resolved and ending with a separator; nullopt when there is no
// such folder. A folder named through a link or ".." is judged by where it really is.
std::optional<std::string> FolderToClean(const std::string& path) {
  if (path.empty() || !fs::path(path).is_absolute()) {
    Refuse(path, "it is not a full path");
  }
  std::error_code error;
  const fs::path folder = fs::canonical(path, error);
  if (error || !fs::is_directory(folder, error)) {
    return std::nullopt;
  }
  if (folder == folder.root_path()) {
    Refuse(path, "it is the root folder");
  }
  if (HoldsHomeFolder(folder)) {
    Refuse(path, "it is the home folder or holds it");
  }
  std::string resolved = folder.string();
  if (resolved.back() != kPathSeparator) {
    resolved += kPathSeparator;
  }
  return resolved;
}

}  // namespace

void DeleteFiles(const std::string& path, const std::string& mask, bool wipe, FileSystem& files) {
  const std::optional<std::string> resolved = FolderToClean(path);
  const std::unique_ptr<Folder> folder = resolved ? files.OpenFolder(*resolved) : nullptr;
  if (!folder) {
    return;
  }
  WalkDeepestFirst(*folder, [&](Folder& holder, const FolderEntry& entry) {
    if (entry.attributes & kDirectory) {
      holder.RemoveFolder(entry.name);  // only an empty folder goes; anything else stays
    } else if (MatchesPattern(entry.name, mask)) {
      EraseFile(holder, entry.name, wipe);  // one gone since the listing is passed over there
    }
  });
}

}  // namespace hv
