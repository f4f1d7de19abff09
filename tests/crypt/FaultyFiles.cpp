#include "FaultyFiles.h"

namespace hv::test {
namespace {

class FaultyStagedFile : public StagedFile {
 public:
  FaultyStagedFile(std::unique_ptr<StagedFile> inner, const FaultyStreams& faults)
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

}  // namespace

std::unique_ptr<InputStream> FaultyStreams::OpenForReading(const std::string& path) {
  return NativeFileStreams().OpenForReading(path);
}

std::unique_ptr<StagedFile> FaultyStreams::Stage(const std::string& finalPath,
                                                 const std::string& rightsFrom) {
  ++stagings;
  if (failStage) {
    return nullptr;
  }
  return std::make_unique<FaultyStagedFile>(NativeFileStreams().Stage(finalPath, rightsFrom),
                                            *this);
}

bool UndeletableFiles::CanOpenExclusively(const std::string& path) {
  return NativeFileSystem().CanOpenExclusively(path);
}
std::unique_ptr<OpenFile> UndeletableFiles::OpenForWriting(const std::string& path,
                                                           WriteMode mode) {
  return NativeFileSystem().OpenForWriting(path, mode);
}
uint32_t UndeletableFiles::SectorSize(const std::string& path) {
  return NativeFileSystem().SectorSize(path);
}
std::optional<FolderEntry> UndeletableFiles::FindEntry(const std::string& path) {
  return NativeFileSystem().FindEntry(path);
}
bool UndeletableFiles::SetAttributes(const std::string& path, uint32_t attributes) {
  return NativeFileSystem().SetAttributes(path, attributes);
}
std::optional<uint64_t> UndeletableFiles::FileLength(const std::string& path) {
  return NativeFileSystem().FileLength(path);
}
size_t UndeletableFiles::ReadStart(const std::string& path, std::span<std::byte> buffer) {
  return NativeFileSystem().ReadStart(path, buffer);
}
std::vector<FolderEntry> UndeletableFiles::ListFolder(const std::string& path) {
  return NativeFileSystem().ListFolder(path);
}
bool UndeletableFiles::DeleteFile(const std::string& path) {
  return !undeletable.contains(path) && NativeFileSystem().DeleteFile(path);
}
bool UndeletableFiles::RemoveFolder(const std::string& path) {
  return NativeFileSystem().RemoveFolder(path);
}

}  // namespace hv::test
