#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "fileio/EraseFile.h"
#include "platform/posix/PosixFileSystem.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using namespace FileAttribute;
using test::ReadFile;
using test::TempFolder;

struct AttributeCase {
  const char* what;
  std::function<void(const fs::path&)> make;
  uint32_t attributes;
};

std::string Slashed(const fs::path& folder) {
  return folder.string() + "/";
}

class AttributesTest : public testing::TestWithParam<AttributeCase> {};

TEST_P(AttributesTest, MapsKindAndRightsOfTheEntry) {
  const TempFolder folder;
  const fs::path entry = folder / "sub" / GetParam().what;
  fs::create_directory(folder / "sub");
  GetParam().make(entry);
  PosixFileSystem files;

  const auto found = files.FindEntry(entry.string());
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->name, GetParam().what);
  EXPECT_EQ(found->attributes, GetParam().attributes);
  EXPECT_EQ(files.ListFolder(Slashed(folder / "sub")),
            (std::vector<FolderEntry>{{GetParam().what, GetParam().attributes}}));
}

void MakeFile(const fs::path& path, mode_t mode) {
  std::ofstream(path) << "data";
  chmod(path.c_str(), mode);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, AttributesTest,
    testing::Values(
        AttributeCase{"file.txt", [](const fs::path& p) { MakeFile(p, 0644); }, kNormal},
        AttributeCase{"readonly.txt", [](const fs::path& p) { MakeFile(p, 0444); }, kReadOnly},
        AttributeCase{".hidden", [](const fs::path& p) { MakeFile(p, 0644); }, kHidden},
        AttributeCase{".hidden-readonly", [](const fs::path& p) { MakeFile(p, 0400); },
                      kHidden | kReadOnly},
        AttributeCase{"folder", [](const fs::path& p) { fs::create_directory(p); }, kDirectory},
        AttributeCase{"readonly-folder",
                      [](const fs::path& p) {
                        fs::create_directory(p);
                        chmod(p.c_str(), 0555);
                      },
                      kDirectory | kReadOnly},
        AttributeCase{"pipe", [](const fs::path& p) { mkfifo(p.c_str(), 0644); }, kSystem},
        AttributeCase{"link", [](const fs::path& p) { fs::create_symlink("/", p); }, kReparsePoint},
        AttributeCase{".dangling", [](const fs::path& p) { fs::create_symlink("nowhere", p); },
                      kHidden | kReparsePoint}),
    [](const testing::TestParamInfo<AttributeCase>& info) {
      return "Case" + std::to_string(info.index);
    });

TEST(PosixFileSystemTest, MissingAndUnlistableGiveNothing) {
  const TempFolder folder;
  PosixFileSystem files;
  EXPECT_FALSE(files.FindEntry((folder / "missing").string()).has_value());
  EXPECT_TRUE(files.ListFolder(Slashed(folder / "missing")).empty());
  EXPECT_FALSE(files.OpenForWriting((folder / "missing").string(), {}));
  EXPECT_FALSE(files.FileLength((folder / "missing").string()).has_value());
  // A link to a folder is never listed through.
  fs::create_directory(folder / "real");
  std::ofstream(folder / "real" / "inside.txt") << "x";
  fs::create_directory_symlink(folder / "real", folder / "link");
  EXPECT_TRUE(files.ListFolder(Slashed(folder / "link")).empty());
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

// tmpfs keeps files in memory and, depending on the kernel, refuses direct I/O, as the
// file system played here always does.
TEST(PosixFileSystemTest, FileSystemWithoutDirectIoIsWipedWithSynchronousWrites) {
  const TempFolder folder;
  const fs::path file = folder.Write("file.txt", std::string(70000, 'z'));
  NoDirectIoFileSystem files;
  EXPECT_TRUE(EraseFile(file.string(), true, files));
  EXPECT_FALSE(fs::exists(file));
  ASSERT_EQ(files.opened.size(), 2u);
  EXPECT_TRUE(
      std::ranges::all_of(files.opened, [](int flags) { return (flags & O_SYNC) == O_SYNC; }));

  std::string name = "/dev/shm/hushvault-wipe-XXXXXX";
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    GTEST_SKIP() << "no writable /dev/shm";
  }
  const std::string content(100000, 'm');
  ASSERT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
  close(fd);
  const bool wiped = EraseFile(name, true, NativeFileSystem());
  const bool stayed = fs::exists(name);
  fs::remove(name);
  EXPECT_TRUE(wiped);
  EXPECT_FALSE(stayed);
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
