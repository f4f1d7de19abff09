#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/posix/NoFollowFolder.h"
#include "platform/posix/browser/CacheKeyMemory.h"
#include "platform/posix/browser/TraceStore.h"

namespace hv {

// A browser's cache folder: every ordinary file at any depth is an entry, named by the URL
// key stored in it where it can be read, otherwise by its path; a link in it, and a folder
// of another file system, are entries left with the reason. The walk never follows a
// link, never enters another file system, and deletes only in the folders it listed, each
// reached again from the cache folder it was given: a trace's path is for showing only.
class CacheFolder : public TraceStore {
 public:
  // folder is the cache folder, open; path names it for showing. keys, when given,
  // remembers the keys read between listings.
  CacheFolder(NoFollowFolder folder, std::string path, CacheKeyMemory* keys = nullptr)
      : root_(std::move(folder)), path_(std::move(path)), keys_(keys) {}

  void List(std::vector<Trace>& traces) override;
  bool Delete(const Trace& trace, std::string& reason) override;

 private:
  // An ordinary file of a folder being listed, and the key read from it.
  struct FoundFile {
    std::string path;
    ino_t inode;
    uint64_t bytes;  // the blocks it takes
    FileIdentity identity;
    std::optional<std::string> key;
  };
  // A folder the listing went through; the cache folder itself is the first. A trace's row
  // is the index of the folder its file lies in.
  struct ListedFolder {
    size_t parent;
    std::string name;
    ino_t inode;
  };
  void ListFolder(NoFollowFolder folder, size_t folderIndex, const std::string& path, int level,
                  std::vector<Trace>& traces);
  // Reads the keys of files in the open folder folderFd; each file's own name starts at
  // nameStart in its path.
  void ReadKeys(int folderFd, size_t nameStart, std::vector<FoundFile>& files);
  // The listed folder of that index, opened again level by level from the cache folder;
  // -1 when any level is now a link or another folder than the one listed.
  int ReopenListed(size_t index);

  NoFollowFolder root_;
  std::string path_;
  CacheKeyMemory* keys_;
  dev_t device_ = 0;
  std::vector<ListedFolder> folders_;
  // The folder a deletion last reached, kept for the next: deletions come in listing order.
  size_t reopenedIndex_ = 0;
  NoFollowFolder reopened_;
};

}  // namespace hv
