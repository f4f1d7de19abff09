#include "platform/posix/CacheFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/CacheFileKey.h"

namespace hv {
namespace {

namespace fs = std::filesystem;

// Cache folders are a few levels deep; anything deeper is not the browser's doing.
constexpr int kDeepestLevel = 8;

void ListFolder(const fs::path& folder, int level, std::vector<Trace>& traces) {
  std::error_code error;
  fs::directory_iterator entries(folder, error);
  // A folder or file that vanishes while the walk runs is passed over.
  for (const fs::directory_iterator end; !error && entries != end; entries.increment(error)) {
    const fs::file_status status = entries->symlink_status(error);
    if (error) {
      error.clear();
      continue;
    }
    const std::string path = entries->path().string();
    if (fs::is_regular_file(status)) {
      traces.push_back({ReadCacheFileKey(path).value_or(path), 0, path});
    } else if (fs::is_directory(status) && level < kDeepestLevel) {
      ListFolder(entries->path(), level + 1, traces);
    }
  }
}

}  // namespace

void CacheFolder::List(std::vector<Trace>& traces) {
  ListFolder(path_, 0, traces);
}

bool CacheFolder::Delete(const Trace& trace) {
  struct stat info {};
  // Only the ordinary file that was listed; a link put in its place is left alone.
  return lstat(trace.file.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         unlink(trace.file.c_str()) == 0;
}

}  // namespace hv
