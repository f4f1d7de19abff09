#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace hv {

// In the folder path and every plain folder below it, erases each file whose whole name
// matches mask (case-sensitive name pattern) through EraseFile, wiping it when wipe is
// set, and removes every folder below path that is or becomes empty, whatever the mask.
// path itself stays. Hidden and system entries are left alone; links are never followed
// and the walk stays on the folder's own file system. An entry that vanishes or cannot be
// examined during the walk is passed over. A folder that does not exist deletes nothing.
//
// Throws NumberedError 5, before touching anything, when path is not a full path or is
// the root folder or the user's home folder.
void DeleteFiles(const std::string& path, const std::string& mask, bool wipe,
                 FileSystem& files = NativeFileSystem());

}  // namespace hv
