#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "ports/WorkProgress.h"

namespace hv {

// What became of a batch of files given to WipeFiles.
struct WipeTally {
  int wiped = 0;     // overwritten and removed
  int notWiped = 0;  // taken on but not wiped: refused, missing or failed (see EraseFile)
  int left = 0;      // never taken on, because the user stopped the batch first

  bool operator==(const WipeTally&) const = default;
};

// Wipes the files in order, each reported to progress. A stop asked for takes effect
// between two files only, so that every file is either wiped whole or left untouched.
WipeTally WipeFiles(const std::vector<std::string>& paths, FileSystem& files,
                    WorkProgress& progress);

}  // namespace hv
