#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>
#include <string>

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
  FileProbe Probe(const std::string& name) override;
  std::unique_ptr<OpenFile> OpenForWriting(const std::string& name, WriteMode mode) override;
  FileToErase OpenToErase(const std::string& name, WriteMode mode) override;
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
  FileProbe LookBeforeOpening(const std::string& name, struct statx& named);
  // A descriptor of name open for writing with mode, -1 (errno set) when it cannot be made.
  int OpenForWritingFd(const std::string& name, WriteMode mode);
  std::unique_ptr<OpenFile> WriteHandle(int fd, const std::string& name, WriteMode mode,
                                        const struct stat& opened);

  SharedDescriptor descriptor_;
  int fd_;  // the descriptor's value
  std::string path_;
  PosixFileSystem& files_;
  MountKey mount_;
  uid_t owner_;
  bool sticky_;
  std::optional<bool> writable_;  // asked once, when first needed
};

}  // namespace hv
