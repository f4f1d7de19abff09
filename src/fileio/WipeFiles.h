#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace hv {

inline constexpr const char* kWipeQuestion = "Are you sure you want to wipe the selected file(s)?";
inline constexpr const char* kWipeTitle = "File Wiper";

// What wiping a list of files came to, and the closing message that says so.
struct WipeOutcome {
  int wiped = 0;
  std::string message;
  int style = 0;  // the message's icon
};

// Wipes every file of the list, in order (EraseFile with wipe set); a missing file counts
// as not wiped.
WipeOutcome WipeFiles(const std::vector<std::string>& paths,
                      FileSystem& files = NativeFileSystem());

}  // namespace hv
