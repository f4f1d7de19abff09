#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace hv {

// Full paths of the files and folders below a folder.
using FileList = std::vector<std::string>;

// Everything below the folder path (ending with a separator) that a folder deletion may
// touch, deepest first: every folder comes after everything beneath it. Hidden and system
// entries are left out, and only plain folders (attributes exactly "directory") are
// entered, so links, mount points, read-only folders and whatever lies inside them are
// never listed. The folder itself is not an entry.
FileList BuildFileList(const std::string& path, FileSystem& files);

// Appends the entries of the folder path, then those of each plain subfolder in turn, each
// folder's entries before anything beneath it.
void ListFolder(const std::string& path, FileList& list, FileSystem& files);

// Turns the list around.
void ReverseCollection(FileList& list);

}  // namespace hv
