#pragma once

#include <memory>
#include <set>
#include <string>

#include "platform/FileStreams.h"
#include "platform/FileSystem.h"

namespace hv::test {

// The real file streams, with failures injected at chosen steps.
class FaultyStreams : public FileStreams {
 public:
  bool failStage = false;   // the folder takes no new file
  bool failWrite = false;   // the disk is full
  bool failCommit = false;  // the data were written but never renamed into place
  int stagings = 0;

  std::unique_ptr<InputStream> OpenForReading(const std::string& path) override;
  std::unique_ptr<StagedFile> Stage(const std::string& finalPath,
                                    const std::string& rightsFrom) override;
};

// The real file system, except that deleting one of the listed paths fails.
class UndeletableFiles : public FileSystem {
 public:
  std::set<std::string> undeletable;

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
};

}  // namespace hv::test
