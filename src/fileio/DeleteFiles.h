#pragma once

#include <string>

#include "clean/ReportSink.h"
#include "platform/FileSystem.h"

namespace hv {

// In the folder path and every plain folder below it, erases each file whose whole name
// matches mask (case-sensitive name pattern) through EraseFile, wiping it when wipe is
// set, and removes every folder below path that is or becomes empty, whatever the mask.
// path itself stays. Hidden and system entries are left alone; links are never followed
// and the walk stays on the folder's own file system. An entry that vanishes or cannot be
// examined during the walk is passed over. A folder that does not exist deletes nothing.
//
// Each matching file goes to report as it is met: removed with the bytes it took up, or
// left with the reason; so does a link that matches, and a folder that could not be
// entered. With preview set the same walk changes nothing (no file opened at all, no
// attribute changed, nothing removed) and reports what it would remove; whether another
// program holds a file open only the run finds out. A file the report counted already, for
// an earlier item of the same preview, is left out, as the run would not meet it any more.
// The walk ends between two entries once the report asks it to stop.
//
// Throws NumberedError 5, before touching anything, when path is not a full path or is
// the root folder or the user's home folder.
void DeleteFiles(const std::string& path, const std::string& mask, bool wipe, ReportSink& report,
                 bool preview = false, FileSystem& files = NativeFileSystem());

// The same walk in a folder the caller has opened itself, without the checks of path;
// with hiddenToo set, hidden entries are walked and erased like the others.
void DeleteFilesIn(Folder& folder, const std::string& mask, bool wipe, ReportSink& report,
                   bool preview, bool hiddenToo = false);

// Erases the file entry of folder as DeleteFiles does a matching one, and reports it:
// removed (or, in a preview, would be), or left with why. A link is left, never followed.
// A preview leaves out a file the report counted already.
void EraseReported(Folder& folder, const FolderEntry& entry, bool wipe, ReportSink& report,
                   bool preview);

}  // namespace hv
