#include "fileio/FolderToClean.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/FileSystem.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

namespace fs = std::filesystem;

constexpr const char* kErrorSource = "Hushvault";
constexpr long kInvalidArgument = 5;

[[noreturn]] void Refuse(const std::string& path, const std::string& reason) {
  throw NumberedError(kInvalidArgument, kErrorSource,
                      "Refusing to delete files in '" + path + "': " + reason);
}

// True for the home folder and for every folder above it.
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

}  // namespace

std::optional<std::string> FolderToClean(const std::string& path, HomeFolder home) {
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
  if (home == HomeFolder::kRefused && HoldsHomeFolder(folder)) {
    Refuse(path, "it is the home folder or holds it");
  }
  std::string resolved = folder.string();
  if (resolved.back() != kPathSeparator) {
    resolved += kPathSeparator;
  }
  return resolved;
}

}  // namespace hv
