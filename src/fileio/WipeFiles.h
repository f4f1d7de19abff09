#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "ports/WorkProgress.h"

namespace hv {

inline constexpr const char* kWipeQuestion = "Are you sure you want to wipe the selected file(s)?";
inline constexpr const char* kWipeTitle = "File Wiper";

// What wiping a list of files came to, and the closing message that says so.
struct WipeOutcome {
  int wiped = 0;     // overwritten and removed
  int notWiped = 0;  // taken on but not wiped: refused, missing or failed (see EraseFile)
  int left = 0;      // never taken on, because the user stopped the list first
  std::string message;
  int style = 0;  // the message's icon
};

// Wipes every file of the list, in order (EraseFile with wipe set), each reported to
// progress; a missing file counts as not wiped. A stop asked for takes effect between two
// files only, so that every file is either wiped whole or left untouched.
WipeOutcome WipeFiles(const std::vector<std::string>& paths, FileSystem& files = NativeFileSystem(),
                      WorkProgress& progress = NoProgress());

}  // namespace hv
