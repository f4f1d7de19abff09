#pragma once

#include <sys/stat.h>

namespace hv {

// Opens name (relative to folderFd, or a full path) read-only, without following a link in
// its last component and without waiting on a device or pipe put in its place; its status
// goes to info. -1, with errno ENXIO when it is there but no ordinary file, otherwise.
int OpenRegularForReading(int folderFd, const char* name, struct stat& info);

}  // namespace hv
