#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "TempFolder.h"
#include "fileio/DeleteFiles.h"
#include "fileio/EraseFile.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/WindowsApi.h"

namespace hv {
namespace {

using test::TempFolder;

DWORD Attributes(const std::filesystem::path& path) {
  return GetFileAttributesA(path.string().c_str());
}

bool Exists(const std::filesystem::path& path) {
  return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

void SetAttributes(const std::filesystem::path& path, DWORD attributes) {
  ASSERT_TRUE(SetFileAttributesA(path.string().c_str(), attributes)) << path;
}

// Gives every entry below root back its normal attributes, so the folder can be removed.
void Normalise(const std::filesystem::path& root) {
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(root, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    const bool folder = it->is_directory(error);
    SetFileAttributesA(it->path().string().c_str(),
                       folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL);
  }
}

class Win32FileSystemTest : public testing::Test {
 protected:
  ~Win32FileSystemTest() override { Normalise(folder.Path()); }
  TempFolder folder;
  Win32FileSystem files;
};

TEST(Win32CreateFlags, WriteModesGiveTheSystemsFlags) {
  struct Case {
    WriteMode mode;
    uint32_t flags;
  };
  const std::vector<Case> cases = {
      {{.noBuffering = true}, 0x20000000u},
      {{.noBuffering = true, .deleteOnClose = true}, 0x24000000u},
      {{.writeThrough = true, .deleteOnClose = true}, 0x84000000u},
      {{}, 0u},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CreateFlagsOf(c.mode), c.flags) << std::hex << c.flags;
  }
}

// A wipe overwrites, cuts and removes the file whatever attributes it had; a plain delete
// removes it too but reports false.
TEST_F(Win32FileSystemTest, WipeAndPlainDeleteRemoveTheFile) {
  struct Case {
    const char* name;
    size_t length;
    DWORD attributes;
    bool wipe;
    bool result;
  };
  const std::vector<Case> cases = {
      {"empty.bin", 0, FILE_ATTRIBUTE_NORMAL, true, true},
      {"block.bin", 65536, FILE_ATTRIBUTE_ARCHIVE, true, true},
      {"odd.bin", 70001, FILE_ATTRIBUTE_NORMAL, true, true},
      {"readonly.bin", 100, FILE_ATTRIBUTE_READONLY, true, true},
      {"hidden.bin", 100, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, true, true},
      {"plain.bin", 5000, FILE_ATTRIBUTE_READONLY, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto path = folder.Write(c.name, std::string(c.length, 'q'));
    SetAttributes(path, c.attributes);
    EXPECT_EQ(EraseFile(path.string(), c.wipe, files), c.result);
    EXPECT_FALSE(Exists(path));
  }
}

// Another handle without sharing makes the probe fail: the file keeps its content and its
// attributes, and is erased once that handle is gone.
TEST_F(Win32FileSystemTest, FileHeldOpenWithoutSharingSurvives) {
  const auto path = folder.Write("held.txt", "still here");
  SetAttributes(path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  for (const DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
    SCOPED_TRACE(share);
    const HANDLE holder = CreateFileA(path.string().c_str(), GENERIC_READ, share, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(files.CanOpenExclusively(path.string()));
    EXPECT_FALSE(EraseFile(path.string(), true, files));
    EXPECT_FALSE(EraseFile(path.string(), false, files));
    CloseHandle(holder);
    EXPECT_EQ(test::ReadFile(path), "still here");
    EXPECT_EQ(Attributes(path), DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE});
  }
  EXPECT_TRUE(EraseFile(path.string(), true, files));
  EXPECT_FALSE(Exists(path));
}

TEST_F(Win32FileSystemTest, OnlyExistingOrdinaryFilesAreErased) {
  folder.Write("sub\\keep.txt", "x");
  for (const std::string& path : {(folder / "missing.txt").string(), (folder / "sub").string(),
                                  (folder / "sub\\*.txt").string()}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(files.CanOpenExclusively(path));
    EXPECT_FALSE(EraseFile(path, true, files));
  }
  EXPECT_TRUE(Exists(folder / "sub\\keep.txt"));
}

// The listing reports the system's attributes, a plain file as 0, and the name as stored.
TEST_F(Win32FileSystemTest, ListingAndLookupGiveStoredNamesAndAttributes) {
  folder.Write("Tree\\MixedCase.TXT", "a");
  folder.Write("Tree\\Hidden.txt", "b");
  std::filesystem::create_directories(folder / "Tree\\Sub");
  SetAttributes(folder / "Tree\\MixedCase.TXT", FILE_ATTRIBUTE_NORMAL);
  SetAttributes(folder / "Tree\\Hidden.txt", FILE_ATTRIBUTE_HIDDEN);

  std::vector<FolderEntry> entries = files.ListFolder((folder / "Tree").string() + "\\");
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  // Wine reports every file as archived; the archive bit plays no part in the rules.
  for (FolderEntry& entry : entries) {
    entry.attributes &= ~FileAttribute::kArchive;
  }
  EXPECT_EQ(entries, (std::vector<FolderEntry>{{"Hidden.txt", FileAttribute::kHidden},
                                               {"MixedCase.TXT", FileAttribute::kNormal},
                                               {"Sub", FileAttribute::kDirectory}}));

  const auto found = files.FindEntry((folder / "Tree\\mixedcase.txt").string());
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->name, "MixedCase.TXT");
  EXPECT_FALSE(files.FindEntry((folder / "Tree\\*.TXT").string()).has_value());
  EXPECT_EQ(files.FileLength((folder / "Tree\\MixedCase.TXT").string()), 1u);
}

// Hidden and system entries, and everything inside a hidden or system folder, stay; the
// matching plain files are wiped, a file in use is passed over, and every folder that
// ends up empty goes.
TEST_F(Win32FileSystemTest, FolderWipeLeavesHiddenAndSystemEntriesAndFilesInUse) {
  const auto root = folder / "Root";
  for (const char* name : {"a.txt", "b.log", "hidden.txt", "system.txt", "busy.txt", "Sub\\c.txt",
                           "HiddenFolder\\d.txt", "SystemFolder\\e.txt"}) {
    folder.Write(std::string("Root\\") + name, std::string(70000, 'f'));
  }
  std::filesystem::create_directories(root / "Empty");
  SetAttributes(root / "hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  SetAttributes(root / "system.txt", FILE_ATTRIBUTE_SYSTEM);
  SetAttributes(root / "HiddenFolder", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
  SetAttributes(root / "SystemFolder", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM);
  const HANDLE holder = CreateFileA((root / "busy.txt").string().c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  DeleteFiles(root.string() + "\\", "*.txt", true, files);
  CloseHandle(holder);

  for (const auto& [relative, stays] :
       std::vector<std::pair<const char*, bool>>{{"a.txt", false},
                                                 {"b.log", true},
                                                 {"hidden.txt", true},
                                                 {"system.txt", true},
                                                 {"busy.txt", true},
                                                 {"Sub", false},
                                                 {"Empty", false},
                                                 {"HiddenFolder\\d.txt", true},
                                                 {"SystemFolder\\e.txt", true}}) {
    EXPECT_EQ(Exists(root / relative), stays) << relative;
  }
  EXPECT_EQ(test::ReadFile(root / "busy.txt"), std::string(70000, 'f'));
  EXPECT_TRUE(Exists(root));
}

}  // namespace
}  // namespace hv
