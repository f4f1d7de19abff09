#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace hv {

// Deletes one file at once, without overwriting it; a read-only file is deleted too, and
// a link is removed itself, never its target.
//
// Throws NumberedError 53 when the file does not exist, and 75 when its attributes cannot
// be cleared or it cannot be deleted.
void RemoveFile(const std::string& path, FileSystem& files = NativeFileSystem());

}  // namespace hv
