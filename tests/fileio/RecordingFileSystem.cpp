#include "RecordingFileSystem.h"

namespace hv::test {
namespace {

class RecordingOpenFile : public OpenFile {
 public:
  RecordingOpenFile(std::unique_ptr<OpenFile> inner, RecordingFileSystem& owner, size_t index)
      : inner_(std::move(inner)), owner_(owner), index_(index) {}

  bool Write(std::span<const std::byte> data) override {
    if (owner_.writesSeen++ == owner_.failingWrite) {
      return false;
    }
    Record().writes.emplace_back(reinterpret_cast<const char*>(data.data()), data.size());
    return inner_->Write(data);
  }
  bool Flush() override {
    ++Record().flushes;
    return inner_->Flush();
  }
  bool SeekToStart() override { return inner_->SeekToStart(); }
  bool SetEndOfFile() override {
    ++Record().truncations;
    if (owner_.beforeTruncation) {
      owner_.beforeTruncation(Record().path);
    }
    return inner_->SetEndOfFile();
  }
  bool Close() override { return inner_->Close(); }

 private:
  // By index: the list of openings may grow while this handle is open.
  RecordingFileSystem::Opening& Record() { return owner_.openings[index_]; }

  std::unique_ptr<OpenFile> inner_;
  RecordingFileSystem& owner_;
  size_t index_;
};

}  // namespace

std::string RecordingFileSystem::PassData() const {
  std::string data;
  for (const Opening& opening : openings) {
    if (opening.mode.deleteOnClose) {
      for (const std::string& block : opening.writes) {
        data += block;
      }
    }
  }
  return data;
}

bool RecordingFileSystem::CanOpenExclusively(const std::string& path) {
  return inner_.CanOpenExclusively(path);
}

std::unique_ptr<OpenFile> RecordingFileSystem::OpenForWriting(const std::string& path,
                                                              WriteMode mode) {
  std::unique_ptr<OpenFile> inner = inner_.OpenForWriting(path, mode);
  if (!inner) {
    return nullptr;
  }
  openings.push_back({path, mode, {}, 0, 0});
  return std::make_unique<RecordingOpenFile>(std::move(inner), *this, openings.size() - 1);
}

uint32_t RecordingFileSystem::SectorSize(const std::string& path) {
  return inner_.SectorSize(path);
}

std::optional<FolderEntry> RecordingFileSystem::FindEntry(const std::string& path) {
  examined.push_back(path);
  if (beforeFindEntry) {
    beforeFindEntry(path);
  }
  return inner_.FindEntry(path);
}

bool RecordingFileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
  return inner_.SetAttributes(path, attributes);
}

std::optional<uint64_t> RecordingFileSystem::FileLength(const std::string& path) {
  return inner_.FileLength(path);
}

size_t RecordingFileSystem::ReadStart(const std::string& path, std::span<std::byte> buffer) {
  return inner_.ReadStart(path, buffer);
}

std::vector<FolderEntry> RecordingFileSystem::ListFolder(const std::string& path) {
  return inner_.ListFolder(path);
}

bool RecordingFileSystem::DeleteFile(const std::string& path) {
  return inner_.DeleteFile(path);
}

bool RecordingFileSystem::RemoveFolder(const std::string& path) {
  return inner_.RemoveFolder(path);
}

}  // namespace hv::test
