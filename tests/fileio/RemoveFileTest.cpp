#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "fileio/RemoveFile.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempFolder;

long ErrorNumberOf(const fs::path& path) {
  try {
    RemoveFile(path.string());
  } catch (const NumberedError& error) {
    return error.Number();
  }
  return 0;
}

// Read-only files and links go, never a link's target; a missing file or a folder raises.
TEST(RemoveFileTest, DeletesFilesAndLinksAndRaisesForWhatItCannotDelete) {
  const TempFolder folder;
  const fs::path readOnly = folder.Write("readonly.txt", "data");
  chmod(readOnly.c_str(), 0444);
  const fs::path target = folder.Write("target.txt", "keep");
  chmod(target.c_str(), 0444);
  fs::create_symlink(target, folder / "link");
  fs::create_directory(folder / "folder");

  EXPECT_EQ(ErrorNumberOf(readOnly), 0);
  EXPECT_EQ(ErrorNumberOf(folder / "link"), 0);
  EXPECT_EQ(ErrorNumberOf(folder / "missing.txt"), 53);
  EXPECT_EQ(ErrorNumberOf(folder / "folder"), 75);

  EXPECT_FALSE(fs::exists(readOnly));
  EXPECT_FALSE(fs::exists(fs::symlink_status(folder / "link")));
  EXPECT_EQ(ReadFile(target), "keep");
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::owner_write, fs::perms::none);
  EXPECT_TRUE(fs::is_directory(folder / "folder"));
}

}  // namespace
}  // namespace hv
