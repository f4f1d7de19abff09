#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

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
  // An ordinary file of a folder being listed, and the key read from it.
  struct FoundFile {
    std::string path;
    ino_t inode;
    std::optional<std::string> key;
  };

  void ListFolder(int folderFd, const std::string& path, int level, std::vector<Trace>& traces);
  // Reads the keys of files in the open folder folderFd; each file's own name starts at
  // nameStart in its path.
  void ReadKeys(int folderFd, size_t nameStart, std::vector<FoundFile>& files);

  std::string path_;
  CacheKeyMemory* keys_;
};

}  // namespace hv
