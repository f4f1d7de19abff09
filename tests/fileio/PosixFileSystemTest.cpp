#include <fcntl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "fileio/EraseFile.h"
#include "platform/posix/PosixFileSystem.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempFolder;

// The mapping of kinds and rights to attributes shows in the walks of DeleteFilesTest; here
// what no walk reaches: a link to a folder is never listed through.
TEST(PosixFileSystemTest, ALinkToAFolderIsNeverListedThrough) {
  const TempFolder folder;
  folder.Write("real/inside.txt", "x");
  fs::create_directory_symlink(folder / "real", folder / "link");
  PosixFileSystem files;
  EXPECT_EQ(files.ListFolder((folder / "real/").string()).size(), 1u);
  EXPECT_TRUE(files.ListFolder((folder / "link/").string()).empty());
}

// Plays a file system that refuses direct I/O when a file is opened, and remembers the
// flags of every descriptor it made.
class NoDirectIoFileSystem : public PosixFileSystem {
 public:
  std::vector<int> opened;

 protected:
  int OpenDescriptor(const std::string& path, int flags) override {
    if (flags & O_DIRECT) {
      errno = EINVAL;
      return -1;
    }
    opened.push_back(flags);
    return PosixFileSystem::OpenDescriptor(path, flags);
  }
};

// tmpfs refuses direct I/O on older kernels; the file system played here always does.
TEST(PosixFileSystemTest, FileSystemWithoutDirectIoIsWipedWithSynchronousWrites) {
  const TempFolder folder;
  const fs::path file = folder.Write("file.txt", std::string(70000, 'z'));
  NoDirectIoFileSystem files;
  EXPECT_TRUE(EraseFile(file.string(), true, files));
  EXPECT_FALSE(fs::exists(file));
  ASSERT_EQ(files.opened.size(), 2u);
  EXPECT_TRUE(
      std::ranges::all_of(files.opened, [](int flags) { return (flags & O_SYNC) == O_SYNC; }));
}

// Delete on close removes the name only while it still names the written file.
TEST(PosixFileSystemTest, DeleteOnCloseSparesAFileThatTookTheNameMeanwhile) {
  const TempFolder folder;
  const fs::path file = folder.Write("file.txt", "first");
  PosixFileSystem files;
  auto handle = files.OpenForWriting(file.string(), {.deleteOnClose = true});
  ASSERT_TRUE(handle);
  fs::rename(file, folder / "moved.txt");
  folder.Write("file.txt", "newcomer");

  EXPECT_FALSE(handle->Close());

  EXPECT_EQ(ReadFile(file), "newcomer");
  EXPECT_TRUE(fs::exists(folder / "moved.txt"));
}

}  // namespace
}  // namespace hv
