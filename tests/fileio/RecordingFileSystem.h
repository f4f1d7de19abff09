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

  // Runs before each FindEntry call is passed on.
  std::function<void()> beforeFindEntry;
  // Runs just before a handle cuts its file.
  std::function<void()> beforeTruncation;

  // All data written through handles opened with deleteOnClose (the overwrite passes).
  std::string PassData() const;

  std::unique_ptr<OpenFile> OpenForWriting(const std::string& path, WriteMode mode) override;
  std::optional<FolderEntry> FindEntry(const std::string& path) override;

  bool CanOpenExclusively(const std::string& p) override { return inner_.CanOpenExclusively(p); }
  uint32_t SectorSize(const std::string& p) override { return inner_.SectorSize(p); }
  bool SetAttributes(const std::string& p, uint32_t a) override {
    return inner_.SetAttributes(p, a);
  }
  std::optional<uint64_t> FileLength(const std::string& p) override { return inner_.FileLength(p); }
  size_t ReadStart(const std::string& p, std::span<std::byte> b) override {
    return inner_.ReadStart(p, b);
  }
  std::vector<FolderEntry> ListFolder(const std::string& p) override {
    return inner_.ListFolder(p);
  }
  bool DeleteFile(const std::string& p) override { return inner_.DeleteFile(p); }
  bool RemoveFolder(const std::string& p) override { return inner_.RemoveFolder(p); }

 private:
  FileSystem& inner_;
};

}  // namespace hv::test
