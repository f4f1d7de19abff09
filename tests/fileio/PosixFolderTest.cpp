#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "fileio/AlignedBlock.h"
#include "fileio/EraseFile.h"
#include "platform/posix/PosixFileSystem.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using namespace FileAttribute;
using test::ReadFile;
using test::TempFolder;

mode_t ModeOf(const fs::path& path) {
  struct stat info {};
  lstat(path.c_str(), &info);
  return info.st_mode & 07777;
}

void MakeSocket(const fs::path& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.string().size(), sizeof(address.sun_path));
  std::strcpy(address.sun_path, path.c_str());
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
  close(fd);  // the name stays behind as a socket
}

std::unique_ptr<Folder> Open(PosixFileSystem& files, const TempFolder& folder) {
  return files.OpenFolder(folder.Path().string());
}

// Files, links and everything else are told apart by the listing's types alone; folders
// are looked at, since their read-only bit decides whether they are entered.
TEST(PosixFolderTest, ListingGivesEachKindOfEntryItsAttributes) {
  const TempFolder folder;
  folder.Write("plain.txt", "x");
  folder.Write(".hidden.txt", "x");
  fs::create_directory(folder / "sub");
  fs::create_directory(folder / ".hiddensub");
  fs::create_directory(folder / "locked");
  fs::permissions(folder / "locked", fs::perms::owner_write, fs::perm_options::remove);
  fs::create_symlink(folder / "plain.txt", folder / "link");
  fs::create_directory_symlink(folder / "sub", folder / ".dirlink");
  ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0644), 0);
  ASSERT_EQ(mkfifo((folder / ".pipe").c_str(), 0644), 0);
  MakeSocket(folder / "socket");

  const std::map<std::string, uint32_t> expected = {
      {"plain.txt", kNormal},
      {".hidden.txt", kHidden},
      {"sub", kDirectory},
      {".hiddensub", kHidden | kDirectory},
      {"locked", kReadOnly | kDirectory},
      {"link", kReparsePoint},
      {".dirlink", kHidden | kReparsePoint},
      {"pipe", kSystem},
      {".pipe", kHidden | kSystem},
      {"socket", kSystem},
  };
  PosixFileSystem files;
  const std::unique_ptr<Folder> open = Open(files, folder);
  // A folder held open lists all of its entries every time, not only the first.
  for (int listing = 1; listing <= 2; ++listing) {
    std::map<std::string, uint32_t> listed;
    for (const FolderEntry& entry : open->List()) {
      listed[entry.name] = entry.attributes;
    }
    EXPECT_EQ(listed, expected) << "listing " << listing;
  }
}

// An entry names its file only where removing the entry removes that file: an ordinary file
// of one name. The identity is the one stat gives, so every walk of the system agrees on it.
TEST(PosixFolderTest, AnEntryNamesItsFileOnlyWhenItIsTheFilesOneName) {
  const TempFolder folder;
  folder.Write("single.txt", "x");
  folder.Write("linked.txt", "x");
  ASSERT_EQ(link((folder / "linked.txt").c_str(), (folder / "second.txt").c_str()), 0);
  fs::create_directory(folder / "sub");
  fs::create_symlink(folder / "single.txt", folder / "link");
  ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0644), 0);

  struct stat single {};
  ASSERT_EQ(lstat((folder / "single.txt").c_str(), &single), 0);
  const std::map<std::string, FileIdentity> expected = {
      {"single.txt", {single.st_dev, single.st_ino}},
      {"linked.txt", {}},
      {"second.txt", {}},
      {"sub", {}},
      {"link", {}},
      {"pipe", {}},
  };
  PosixFileSystem files;
  const std::unique_ptr<Folder> open = Open(files, folder);
  std::map<std::string, FileIdentity> listed;
  for (const FolderEntry& entry : open->List()) {
    listed[entry.name] = entry.identity;
    EXPECT_EQ(open->FindEntry(entry.name)->identity, entry.identity) << entry.name;
  }
  EXPECT_EQ(listed, expected);
}

// What the listing saw as a file may be something else by the time it is probed: a pipe
// put in its place is neither opened for writing nor removed, and nothing waits on it.
TEST(PosixFolderTest, AFileSwappedForAPipeAfterTheListingIsLeftAlone) {
  const TempFolder folder;
  const fs::path file = folder.Write("swapped.tmp", "x");
  PosixFileSystem files;
  const std::unique_ptr<Folder> open = Open(files, folder);
  ASSERT_EQ(open->List().size(), 1u);
  fs::remove(file);
  ASSERT_EQ(mkfifo(file.c_str(), 0644), 0);

  EXPECT_FALSE(open->CanOpenExclusively("swapped.tmp"));
  EXPECT_FALSE(EraseFile(*open, "swapped.tmp", false));

  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(file)));
}

// The probe's look at a file serves the attribute change right after it, for that file
// only: a read-only file still loses its read-only bit, whichever file was probed before.
TEST(PosixFolderTest, ClearingReadOnlyAfterAProbeReachesTheFileNamed) {
  struct Case {
    const char* probed;
    const char* changed;
  };
  for (const Case& c : {Case{"locked.txt", "locked.txt"}, Case{"free.txt", "locked.txt"},
                        Case{"locked.txt", "other.txt"}}) {
    const TempFolder folder;
    for (const char* name : {"locked.txt", "free.txt", "other.txt"}) {
      folder.Write(name, "x");
    }
    fs::permissions(folder / "locked.txt", fs::perms::owner_read);
    fs::permissions(folder / "other.txt", fs::perms::owner_read);
    PosixFileSystem files;
    const std::unique_ptr<Folder> open = Open(files, folder);
    open->List();

    EXPECT_TRUE(open->CanOpenExclusively(c.probed)) << c.probed;
    EXPECT_TRUE(open->SetAttributes(c.changed, kNormal)) << c.changed;

    EXPECT_EQ(ModeOf(folder / c.changed) & S_IWUSR, S_IWUSR) << c.probed << " " << c.changed;
  }
}

// A handle keeps its own position: cutting goes where the last write ended, and a write
// after going back to the start overwrites from there.
TEST(PosixFolderTest, AnOpenFileCutsWhereItsLastWriteEnded) {
  constexpr size_t kBlock = 65536;
  for (const WriteMode mode : {WriteMode{}, WriteMode{.noBuffering = true}}) {
    const TempFolder folder;
    const fs::path file = folder.Write("file.bin", std::string(3 * kBlock, 'o'));
    PosixFileSystem files;
    const std::unique_ptr<OpenFile> handle = Open(files, folder)->OpenForWriting("file.bin", mode);
    ASSERT_TRUE(handle);
    AlignedBlock block(kBlock);
    const auto fill = [&block](char c) {
      std::ranges::fill(block.Bytes(), std::byte(c));
      return block.Bytes();
    };

    ASSERT_TRUE(handle->Write(fill('a')));
    ASSERT_TRUE(handle->Write(fill('b')));
    ASSERT_TRUE(handle->SetEndOfFile());
    EXPECT_EQ(ReadFile(file), std::string(kBlock, 'a') + std::string(kBlock, 'b'));

    ASSERT_TRUE(handle->SeekToStart());
    ASSERT_TRUE(handle->Write(fill('c')));
    ASSERT_TRUE(handle->SetEndOfFile());
    EXPECT_EQ(ReadFile(file), std::string(kBlock, 'c'));

    ASSERT_TRUE(handle->SeekToStart());
    ASSERT_TRUE(handle->SetEndOfFile());
    EXPECT_EQ(fs::file_size(file), 0u);
  }
}

// A handle that removes its file at close and was cut to nothing: every other name of the
// file shows it empty, and a file whose name was taken meanwhile is neither removed nor
// emptied, whatever stands under the name now.
TEST(PosixFolderTest, AFileCutToNothingAndRemovedAtCloseIsEmptiedOnlyWhereItIsSeen) {
  struct Case {
    const char* name;
    bool twin;     // a second name of the file elsewhere in the folder
    bool renamed;  // the file moved away before the handle closes
  };
  for (const Case& c : {Case{"alone", false, false}, Case{"twin", true, false},
                        Case{"renamed", false, true}, Case{"renamed twin", true, true}}) {
    SCOPED_TRACE(c.name);
    const TempFolder folder;
    const fs::path file = folder.Write("file.bin", "content");
    if (c.twin) {
      fs::create_hard_link(file, folder / "twin.bin");
    }
    PosixFileSystem files;
    const std::unique_ptr<Folder> open = Open(files, folder);
    std::unique_ptr<OpenFile> handle = open->OpenForWriting("file.bin", {.deleteOnClose = true});
    ASSERT_TRUE(handle);
    if (c.renamed) {
      fs::rename(file, folder / "moved.bin");
      folder.Write("file.bin", "someone else's");
    }

    ASSERT_TRUE(handle->SeekToStart());
    ASSERT_TRUE(handle->SetEndOfFile());
    EXPECT_EQ(handle->Close(), !c.renamed);

    if (c.renamed) {
      EXPECT_EQ(ReadFile(folder / "moved.bin"), "content");
      EXPECT_EQ(ReadFile(file), "someone else's");
    } else {
      EXPECT_FALSE(fs::exists(file));
    }
    if (c.twin) {
      EXPECT_EQ(ReadFile(folder / "twin.bin"), c.renamed ? "content" : "");
    }
  }
}

}  // namespace
}  // namespace hv
