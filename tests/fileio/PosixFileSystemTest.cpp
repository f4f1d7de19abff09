#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "RecordingSink.h"
#include "TempFolder.h"
#include "fileio/DeleteFiles.h"
#include "fileio/EraseFile.h"
#include "platform/posix/PosixFileSystem.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempFolder;

// A folder is entered only as a plain folder of its own volume, never through a link, and
// nothing is reached by a name that is not one entry of the folder.
TEST(PosixFileSystemTest, AFolderReachesOnlyItsOwnEntries) {
  const TempFolder folder;
  folder.Write("real/inside.txt", "x");
  folder.Write("other.txt", "outside");
  fs::create_directory_symlink(folder / "real", folder / "link");
  PosixFileSystem files;
  const std::unique_ptr<Folder> top = files.OpenFolder(folder.Path().string());
  ASSERT_TRUE(top);
  const std::unique_ptr<Folder> real = top->OpenSubfolder("real");
  ASSERT_TRUE(real);
  struct stat inside {};
  ASSERT_EQ(stat((folder / "real/inside.txt").c_str(), &inside), 0);
  const uint64_t allocated = static_cast<uint64_t>(inside.st_blocks) * 512;
  // The listing's type tells a file; its size and identity take a look of their own, which
  // only a file that is to be removed gets.
  EXPECT_EQ(real->List(), (std::vector<FolderEntry>{{"inside.txt", FileAttribute::kNormal}}));
  EXPECT_EQ(real->FindEntry("inside.txt"),
            (FolderEntry{
                "inside.txt", FileAttribute::kNormal, allocated, {inside.st_dev, inside.st_ino}}));
  EXPECT_EQ(real->Probe("inside.txt").allocatedBytes, allocated);
  for (const std::string name : {"link", "inside.txt", "missing", ".", "..", "real/", ""}) {
    EXPECT_FALSE(top->OpenSubfolder(name)) << name;
  }
  for (const std::string name : {"../other.txt", "..", ".", "", "/etc/passwd"}) {
    EXPECT_FALSE(real->FindEntry(name)) << name;
    EXPECT_FALSE(real->CanOpenExclusively(name)) << name;
    EXPECT_FALSE(real->OpenForWriting(name, {})) << name;
    EXPECT_FALSE(real->DeleteFile(name)) << name;
  }
  EXPECT_EQ(ReadFile(folder / "other.txt"), "outside");
}

// A folder where another file system is mounted is never entered, whatever it looked like
// when it was listed. Mounting needs a namespace of its own, which only a privileged
// user may make; the child that mounts takes the mount with it when it ends.
TEST(PosixFileSystemTest, AnotherFileSystemIsNeverEntered) {
  constexpr int kCannotMount = 77;
  const TempFolder folder;
  const fs::path mounted = folder / "mounted";
  fs::create_directories(mounted);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("none", mounted.c_str(), "tmpfs", 0, nullptr) != 0) {
      _exit(kCannotMount);
    }
    const int inside = open((mounted / "inside.tmp").c_str(), O_CREAT | O_WRONLY, 0644);
    close(inside);
    PosixFileSystem files;
    const std::unique_ptr<Folder> top = files.OpenFolder(folder.Path().string());
    const auto entry = top ? top->FindEntry("mounted") : std::nullopt;
    const bool seenAsMount =
        entry && entry->attributes == (FileAttribute::kDirectory | FileAttribute::kReparsePoint);
    const bool entered = top && top->OpenSubfolder("mounted") != nullptr;
    test::RecordingSink sink;
    DeleteFiles(folder.Path().string() + "/", "*.tmp", false, sink, false, files);
    // Reported once, as not entered.
    const bool reported =
        sink.entries == std::vector<ReportEntry>{{.type = EntryType::kFile,
                                                  .what = mounted.string(),
                                                  .bytes = {},
                                                  .outcome = EntryOutcome::kLeft,
                                                  .reason = LeftReason::kOtherFileSystem}};
    _exit(inside >= 0 && seenAsMount && !entered && reported && fs::exists(mounted / "inside.tmp")
              ? 0
              : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kCannotMount) {
    GTEST_SKIP() << "no right to mount here";
  }
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Plays a file system that refuses direct I/O when a file is opened, and remembers the
// flags of every descriptor it made.
class NoDirectIoFileSystem : public PosixFileSystem {
 public:
  std::vector<int> opened;

  int OpenDescriptor(int folderFd, const std::string& name, int flags) override {
    if (flags & O_DIRECT) {
      errno = EINVAL;
      return -1;
    }
    opened.push_back(flags);
    return PosixFileSystem::OpenDescriptor(folderFd, name, flags);
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
  auto handle =
      files.OpenFolder(folder.Path().string())->OpenForWriting("file.txt", {.deleteOnClose = true});
  ASSERT_TRUE(handle);
  fs::rename(file, folder / "moved.txt");
  folder.Write("file.txt", "newcomer");

  EXPECT_FALSE(handle->Close());

  EXPECT_EQ(ReadFile(file), "newcomer");
  EXPECT_TRUE(fs::exists(folder / "moved.txt"));
}

}  // namespace
}  // namespace hv
