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
      owner_.beforeTruncation();
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

std::unique_ptr<OpenFile> RecordingFileSystem::OpenForWriting(const std::string& path,
                                                              WriteMode mode) {
  std::unique_ptr<OpenFile> inner = inner_.OpenForWriting(path, mode);
  if (!inner) {
    return nullptr;
  }
  openings.push_back({mode, {}, 0, 0});
  return std::make_unique<RecordingOpenFile>(std::move(inner), *this, openings.size() - 1);
}

std::optional<FolderEntry> RecordingFileSystem::FindEntry(const std::string& path) {
  if (beforeFindEntry) {
    beforeFindEntry();
  }
  return inner_.FindEntry(path);
}

}  // namespace hv::test
