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

class RecordingFolder : public Folder {
 public:
  RecordingFolder(std::unique_ptr<Folder> inner, RecordingFileSystem& owner)
      : inner_(std::move(inner)), owner_(owner) {}

  const std::string& Path() const override { return inner_->Path(); }
  std::vector<FolderEntry> List() override {
    std::vector<FolderEntry> entries = inner_->List();
    if (owner_.afterListing) {
      owner_.afterListing(Path());
    }
    return entries;
  }
  std::unique_ptr<Folder> OpenSubfolder(const std::string& name) override {
    std::unique_ptr<Folder> inner = inner_->OpenSubfolder(name);
    return inner ? std::make_unique<RecordingFolder>(std::move(inner), owner_) : nullptr;
  }
  FileProbe Probe(const std::string& name) override {
    if (owner_.beforeProbe) {
      owner_.beforeProbe();
    }
    return inner_->Probe(name);
  }
  std::unique_ptr<OpenFile> OpenForWriting(const std::string& name, WriteMode mode) override {
    return Recorded(inner_->OpenForWriting(name, mode), mode);
  }
  FileToErase OpenToErase(const std::string& name, WriteMode mode) override {
    if (owner_.beforeProbe) {
      owner_.beforeProbe();
    }
    FileToErase opened = inner_->OpenToErase(name, mode);
    opened.file = Recorded(std::move(opened.file), mode);
    return opened;
  }
  std::optional<FolderEntry> FindEntry(const std::string& n) override {
    return inner_->FindEntry(n);
  }
  uint32_t SectorSize() override { return inner_->SectorSize(); }
  bool SetAttributes(const std::string& n, uint32_t a) override {
    return inner_->SetAttributes(n, a);
  }
  std::optional<uint64_t> FileLength(const std::string& n) override {
    return inner_->FileLength(n);
  }
  size_t ReadStart(const std::string& n, std::span<std::byte> b) override {
    return inner_->ReadStart(n, b);
  }
  bool DeleteFile(const std::string& n) override { return inner_->DeleteFile(n); }
  bool RemoveFolder(const std::string& n) override { return inner_->RemoveFolder(n); }

 private:
  std::unique_ptr<OpenFile> Recorded(std::unique_ptr<OpenFile> inner, WriteMode mode) {
    if (!inner) {
      return nullptr;
    }
    owner_.openings.push_back({mode, {}, 0, 0});
    return std::make_unique<RecordingOpenFile>(std::move(inner), owner_,
                                               owner_.openings.size() - 1);
  }

  std::unique_ptr<Folder> inner_;
  RecordingFileSystem& owner_;
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

std::unique_ptr<Folder> RecordingFileSystem::OpenFolder(const std::string& path) {
  std::unique_ptr<Folder> inner = inner_.OpenFolder(path);
  return inner ? std::make_unique<RecordingFolder>(std::move(inner), *this) : nullptr;
}

}  // namespace hv::test
