#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace hv::test {

// Passes every call on to a real file system and records what was opened and written, so
// that tests can see the data a wipe sends to the disk.
class RecordingFileSystem : public FileSystem {
 public:
  struct Opening {
    std::string path;
    WriteMode mode;
    std::vector<std::string> writes;  // each block written, in order
    int flushes = 0;
    int truncations = 0;
  };

  explicit RecordingFileSystem(FileSystem& inner) : inner_(inner) {}

  std::vector<Opening> openings;
  std::vector<std::string> examined;  // every path given to FindEntry, in order

  // The write, counted from 0 over all handles, that fails without writing; -1 for none.
  int failingWrite = -1;
  int writesSeen = 0;

  // Runs before each FindEntry call is passed on, with the path asked about.
  std::function<void(const std::string&)> beforeFindEntry;
  // Runs just before a handle cuts its file, with the handle's path.
  std::function<void(const std::string&)> beforeTruncation;

  // All data written through handles opened with deleteOnClose (the overwrite passes).
  std::string PassData() const;

  bool CanOpenExclusively(const std::string& path) override;
  std::unique_ptr<OpenFile> OpenForWriting(const std::string& path, WriteMode mode) override;
  uint32_t SectorSize(const std::string& path) override;
  std::optional<FolderEntry> FindEntry(const std::string& path) override;
  bool SetAttributes(const std::string& path, uint32_t attributes) override;
  std::optional<uint64_t> FileLength(const std::string& path) override;
  size_t ReadStart(const std::string& path, std::span<std::byte> buffer) override;
  std::vector<FolderEntry> ListFolder(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;

 private:
  FileSystem& inner_;
};

}  // namespace hv::test
