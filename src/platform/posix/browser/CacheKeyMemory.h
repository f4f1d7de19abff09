#pragma once

#include <sys/types.h>

#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace hv {

// The URL keys that earlier listings read from cache files, so that a later walk does not
// open every file again. The browsers name a cache file by a hash of its key, so a file of
// the same path and inode still holds the key it held. Only keys that could be read are
// kept: a file that is still being written is read again next time. Cache folders listed
// side by side may share one memory.
class CacheKeyMemory {
 public:
  // Starts a listing of the cache folders; what it does not look up is forgotten at the
  // start of the next one.
  void NewListing();

  // The key an earlier listing read from the file at path with that inode, if any.
  std::optional<std::string> Recall(const std::string& path, ino_t inode);
  // Keeps the key just read from the file at path with that inode.
  void Remember(const std::string& path, ino_t inode, const std::string& key);

 private:
  struct Known {
    std::string path;
    std::string key;
  };
  // By inode, which is cheaper to look up than the path; the path is then compared.
  using Keys = std::unordered_map<ino_t, Known>;

  std::mutex guard_;
  Keys previous_;
  Keys current_;
};

}  // namespace hv
