#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <unordered_map>

namespace hv {

// The URL keys that earlier listings read from cache files, so that a later walk does not
// open every file again. The browsers name a cache file by a hash of its key, so a file of
// the same path and inode still holds the key it held. Only keys that could be read are
// kept: a file that is still being written is read again next time.
class CacheKeyMemory {
 public:
  // Starts a listing of the cache folders; what it does not look up is forgotten at the
  // start of the next one.
  void NewListing();

  // The key of the file name in the open folder folderFd, whose full path is path and whose
  // inode the listing reported.
  std::optional<std::string> KeyOf(int folderFd, const char* name, const std::string& path,
                                   ino_t inode);

 private:
  struct Known {
    std::string path;
    std::string key;
  };
  // By inode, which is cheaper to look up than the path; the path is then compared.
  using Keys = std::unordered_map<ino_t, Known>;

  Keys previous_;
  Keys current_;
};

}  // namespace hv
