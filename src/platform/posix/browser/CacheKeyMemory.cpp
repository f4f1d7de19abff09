#include "platform/posix/browser/CacheKeyMemory.h"

namespace hv {

void CacheKeyMemory::NewListing() {
  const std::lock_guard lock(guard_);
  previous_ = std::move(current_);
  current_.clear();
  current_.reserve(previous_.size());
}

std::optional<std::string> CacheKeyMemory::Recall(const std::string& path, ino_t inode) {
  const std::lock_guard lock(guard_);
  auto known = previous_.extract(inode);
  if (known.empty() || known.mapped().path != path) {
    return std::nullopt;
  }
  std::string key = known.mapped().key;
  current_.insert(std::move(known));
  return key;
}

void CacheKeyMemory::Remember(const std::string& path, ino_t inode, const std::string& key) {
  const std::lock_guard lock(guard_);
  current_.insert_or_assign(inode, Known{path, key});
}

}  // namespace hv
