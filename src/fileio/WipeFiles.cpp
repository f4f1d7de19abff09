#include "fileio/WipeFiles.h"

#include "fileio/EraseFile.h"

namespace hv {

WipeTally WipeFiles(const std::vector<std::string>& paths, FileSystem& files,
                    WorkProgress& progress) {
  WipeTally tally;
  for (const std::string& path : paths) {
    if (progress.StopRequested()) {
      ++tally.left;
      continue;
    }
    progress.BeginFile(path);
    const bool wiped = EraseFile(path, true, files, progress);
    progress.EndFile(wiped);
    ++(wiped ? tally.wiped : tally.notWiped);
  }
  return tally;
}

}  // namespace hv
