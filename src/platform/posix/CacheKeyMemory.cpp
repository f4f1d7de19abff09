#include "platform/posix/CacheKeyMemory.h"

#include "platform/posix/CacheFileKey.h"

namespace hv {

void CacheKeyMemory::NewListing() {
  previous_ = std::move(current_);
  current_.clear();
  current_.reserve(previous_.size());
}

std::optional<std::string> CacheKeyMemory::KeyOf(int folderFd, const char* name,
                                                 const std::string& path, ino_t inode) {
  if (auto known = previous_.extract(inode); !known.empty() && known.mapped().path == path) {
    std::string key = known.mapped().key;
    current_.insert(std::move(known));
    return key;
  }
  std::optional<std::string> key = ReadCacheFileKey(folderFd, name);
  if (key) {
    current_.insert_or_assign(inode, Known{path, *key});
  }
  return key;
}

}  // namespace hv
