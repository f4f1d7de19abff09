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

  std::unique_ptr<InputStream> OpenForReading(const std::string& path) override {
    return NativeFileStreams().OpenForReading(path);
  }
  std::unique_ptr<StagedFile> Stage(const std::string& finalPath,
                                    const std::string& rightsFrom) override {
    ++stagings;
    return failStage
               ? nullptr
               : std::make_unique<Staged>(NativeFileStreams().Stage(finalPath, rightsFrom), *this);
  }

 private:
  class Staged : public StagedFile {
   public:
    Staged(std::unique_ptr<StagedFile> inner, const FaultyStreams& faults)
        : inner_(std::move(inner)), faults_(faults) {}
    bool Write(std::span<const std::byte> data) override {
      return !faults_.failWrite && inner_->Write(data);
    }
    // The temporary file is dropped unrenamed, as after a crash or a failed flush.
    bool Commit() override { return !faults_.failCommit && inner_->Commit(); }

   private:
    std::unique_ptr<StagedFile> inner_;
    const FaultyStreams& faults_;
  };
};

// The real file system, except that deleting one of the listed paths fails.
class UndeletableFiles : public FileSystem {
 public:
  std::set<std::string> undeletable;

  bool DeleteFile(const std::string& path) override {
    return !undeletable.contains(path) && real_.DeleteFile(path);
  }
  bool CanOpenExclusively(const std::string& path) override {
    return real_.CanOpenExclusively(path);
  }
  std::unique_ptr<OpenFile> OpenForWriting(const std::string& path, WriteMode mode) override {
    return real_.OpenForWriting(path, mode);
  }
  uint32_t SectorSize(const std::string& path) override { return real_.SectorSize(path); }
  std::optional<FolderEntry> FindEntry(const std::string& path) override {
    return real_.FindEntry(path);
  }
  bool SetAttributes(const std::string& path, uint32_t attributes) override {
    return real_.SetAttributes(path, attributes);
  }
  std::optional<uint64_t> FileLength(const std::string& path) override {
    return real_.FileLength(path);
  }
  size_t ReadStart(const std::string& path, std::span<std::byte> buffer) override {
    return real_.ReadStart(path, buffer);
  }
  std::vector<FolderEntry> ListFolder(const std::string& path) override {
    return real_.ListFolder(path);
  }
  bool RemoveFolder(const std::string& path) override { return real_.RemoveFolder(path); }

 private:
  FileSystem& real_ = NativeFileSystem();
};

}  // namespace hv::test
