#pragma once

#include <optional>
#include <string>

#include "platform/posix/CacheKeyMemory.h"
#include "platform/posix/TraceStore.h"

namespace hv {

// A browser's cache folder: every ordinary file at any depth is an entry, named by the URL
// key stored in it where it can be read, otherwise by its path. Links are never followed.
class CacheFolder : public TraceStore {
 public:
  // keys, when given, remembers the keys read between listings.
  explicit CacheFolder(std::string path, CacheKeyMemory* keys = nullptr)
      : path_(std::move(path)), keys_(keys) {}

  void List(std::vector<Trace>& traces) override;
  bool Delete(const Trace& trace) override;

 private:
  void ListFolder(int folderFd, const std::string& path, int level, std::vector<Trace>& traces);
  std::optional<std::string> KeyOf(int folderFd, const char* name, const std::string& path,
                                   ino_t inode);

  std::string path_;
  CacheKeyMemory* keys_;
};

}  // namespace hv
