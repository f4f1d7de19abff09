#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingSink.h"
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
  EXPECT_EQ(CreateFlagsOf({.noBuffering = true, .deleteOnClose = true}), 0x24000000u);
  EXPECT_EQ(CreateFlagsOf({.writeThrough = true, .deleteOnClose = true}), 0x84000000u);
}

// A wipe overwrites, cuts and removes the file whatever attributes it had; a plain delete
// removes it too but reports false.
TEST_F(Win32FileSystemTest, WipeAndPlainDeleteRemoveTheFile) {
  for (const bool wipe : {true, false}) {
    const auto path = folder.Write("guarded.bin", std::string(70001, 'q'));
    SetAttributes(path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(EraseFile(path.string(), wipe, files), wipe);
    EXPECT_FALSE(Exists(path));
  }
}

// Another handle without sharing makes the probe fail: the file keeps its content and its
// attributes, and is erased once that handle is gone.
TEST_F(Win32FileSystemTest, FileHeldOpenWithoutSharingSurvives) {
  const auto path = folder.Write("held.txt", "still here");
  SetAttributes(path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  const HANDLE holder = CreateFileA(path.string().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(files.CanOpenExclusively(path.string()));
  EXPECT_FALSE(EraseFile(path.string(), true, files));
  EXPECT_FALSE(EraseFile(path.string(), false, files));
  CloseHandle(holder);
  EXPECT_EQ(test::ReadFile(path), "still here");
  EXPECT_EQ(Attributes(path), DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE});
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
  EXPECT_FALSE(files.FindEntry((folder / "sub\\*.txt").string()).has_value());
  EXPECT_TRUE(Exists(folder / "sub\\keep.txt"));
}

// Hidden and system entries, and everything inside a hidden or system folder, stay; the
// matching plain files are wiped, a file in use is passed over, and every folder that
// ends up empty goes.
TEST_F(Win32FileSystemTest, FolderWipeLeavesHiddenAndSystemEntriesAndFilesInUse) {
  const auto root = folder / "Root";
  for (const char* name : {"a.txt", "hidden.txt", "system.txt", "busy.txt", "Sub\\c.txt",
                           "HiddenFolder\\d.txt", "SystemFolder\\e.txt"}) {
    folder.Write(std::string("Root\\") + name, std::string(70000, 'f'));
  }
  SetAttributes(root / "hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  SetAttributes(root / "system.txt", FILE_ATTRIBUTE_SYSTEM);
  SetAttributes(root / "HiddenFolder", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
  SetAttributes(root / "SystemFolder", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM);
  const HANDLE holder = CreateFileA((root / "busy.txt").string().c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  test::RecordingSink sink;
  DeleteFiles(root.string() + "\\", "*.txt", true, sink, false, files);
  CloseHandle(holder);
  const auto removed = [](const std::filesystem::path& path) {
    return ReportEntry{.type = EntryType::kFile,
                       .what = path.string(),
                       .bytes = 70000,
                       .outcome = EntryOutcome::kRemoved,
                       .reason = {}};
  };
  const std::vector<ReportEntry> reported = {
      removed(root / "Sub\\c.txt"),
      {.type = EntryType::kFile,
       .what = (root / "busy.txt").string(),
       .bytes = {},
       .outcome = EntryOutcome::kLeft,
       .reason = LeftReason::kInUse},
      removed(root / "a.txt"),
  };
  EXPECT_EQ(sink.entries, reported);

  for (const char* gone : {"a.txt", "Sub"}) {
    EXPECT_FALSE(Exists(root / gone)) << gone;
  }
  for (const char* kept :
       {"hidden.txt", "system.txt", "busy.txt", "HiddenFolder\\d.txt", "SystemFolder\\e.txt"}) {
    EXPECT_TRUE(Exists(root / kept)) << kept;
  }
  EXPECT_EQ(test::ReadFile(root / "busy.txt"), std::string(70000, 'f'));
  EXPECT_TRUE(Exists(root));
}

}  // namespace
}  // namespace hv
