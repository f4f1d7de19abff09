#pragma once

#include <optional>
#include <string>

namespace hv {

// The URL key stored in a browser's cache file: a Chromium-family simple-cache entry keeps
// it after its header, a Firefox cache2 entry in the metadata after its data. Nothing for
// a file of another kind, or one that is short, damaged or unreadable.
std::optional<std::string> ReadCacheFileKey(const std::string& path);
// The same for the file name inside the open folder folderFd.
std::optional<std::string> ReadCacheFileKey(int folderFd, const char* name);

}  // namespace hv
