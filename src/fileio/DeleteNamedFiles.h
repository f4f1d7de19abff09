#pragma once

#include <string>

#include "clean/ReportSink.h"
#include "platform/FileSystem.h"

namespace hv {

// Among the entries directly in the folder path (dot-names included), erases each regular
// file whose whole name matches one of masks, case-sensitive name patterns separated by
// ';', through EraseFile, wiping it when wipe is set. Nothing below the folder is looked
// at, no folder is removed, and a link is neither followed nor removed: a history file
// linked to /dev/null is a choice the user made. A folder that does not exist deletes
// nothing. Reports and previews as DeleteFiles does.
//
// Throws NumberedError 5, before touching anything, when path is not a full path or is
// the root folder; the home folder is allowed, since nothing below it is walked.
void DeleteNamedFiles(const std::string& path, const std::string& masks, bool wipe,
                      ReportSink& report, bool preview = false,
                      FileSystem& files = NativeFileSystem());

}  // namespace hv
