#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <unordered_set>

#include "platform/FileSystem.h"
#include "platform/posix/SharedDescriptor.h"

namespace hv {

class PosixFileSystem;

// Which mounted file system an entry lies on: the mount id where the kernel gives one (it
// tells bind mounts apart too), the device otherwise.
struct MountKey {
  uint64_t mount = 0;
  uint64_t device = 0;
  bool operator==(const MountKey&) const = default;
};

// A folder held open by a descriptor, which it owns; everything in it is reached with the
// *at calls relative to that descriptor, never through a link.
class PosixFolder : public Folder {
 public:
  // Takes over fd; nullptr (fd closed) when it is not an open folder.
  static std::unique_ptr<PosixFolder> Adopt(int fd, std::string path, PosixFileSystem& files);

  const std::string& Path() const override { return path_; }
  std::vector<FolderEntry> List() override;
  std::unique_ptr<Folder> OpenSubfolder(const std::string& name) override;
  std::optional<FolderEntry> FindEntry(const std::string& name) override;
  bool CanOpenExclusively(const std::string& name) override;
  std::unique_ptr<OpenFile> OpenForWriting(const std::string& name, WriteMode mode) override;
  uint32_t SectorSize() override;
  bool SetAttributes(const std::string& name, uint32_t attributes) override;
  std::optional<uint64_t> FileLength(const std::string& name) override;
  size_t ReadStart(const std::string& name, std::span<std::byte> buffer) override;
  bool DeleteFile(const std::string& name) override;
  bool RemoveFolder(const std::string& name) override;

 private:
  PosixFolder(int fd, std::string path, PosixFileSystem& files, MountKey mount, uid_t owner,
              bool sticky);
  bool MayUnlink(uid_t fileOwner);

  SharedDescriptor descriptor_;
  int fd_;  // the descriptor's value
  std::string path_;
  PosixFileSystem& files_;
  MountKey mount_;
  uid_t owner_;
  bool sticky_;
  std::optional<bool> writable_;  // asked once, when first needed
  // The names the last listing found to be ordinary files.
  std::unordered_set<std::string> listedFiles_;
  // The file the last probe found free to erase, with its mode, for the attribute change
  // that comes next; taken by that change.
  struct ProbedFile {
    std::string name;
    mode_t mode;
  };
  std::optional<ProbedFile> probed_;
};

}  // namespace hv
