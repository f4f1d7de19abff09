#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace hv::test {

// Passes every call on to a real file system, through folders that record what was opened
// and written, so that tests can see the data a wipe sends to the disk, and can step in at
// chosen moments of a walk.
class RecordingFileSystem : public FileSystem {
 public:
  struct Opening {
    WriteMode mode;
    std::vector<std::string> writes;  // each block written, in order
    int flushes = 0;
    int truncations = 0;
  };

  explicit RecordingFileSystem(FileSystem& inner) : inner_(inner) {}

  std::vector<Opening> openings;

  // The write, counted from 0 over all handles, that fails without writing; -1 for none.
  int failingWrite = -1;
  int writesSeen = 0;

  // Runs after a folder was listed, with the folder's path.
  std::function<void(const std::string& folder)> afterListing;
  // Runs before a file is probed for other holders.
  std::function<void()> beforeProbe;
  // Runs just before a handle cuts its file.
  std::function<void()> beforeTruncation;

  // All data written through handles opened with deleteOnClose (the overwrite passes).
  std::string PassData() const;

  std::unique_ptr<Folder> OpenFolder(const std::string& path) override;

 private:
  FileSystem& inner_;
};

}  // namespace hv::test
