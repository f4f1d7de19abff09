#include "platform/win32/Win32FileStreams.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "TempFolder.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

bool Write(StagedFile& staged, const std::string& bytes) {
  return staged.Write(std::as_bytes(std::span(bytes)));
}

// A staged file that nobody holds any more (its process ended) is removed at the next
// staging in its folder; one a running staging holds, and the user's own files, stay.
TEST(Win32FileStreamsTest, AbandonedStagedFilesAreSweptAtTheNextStaging) {
  Win32FileStreams streams;
  const test::TempFolder folder;
  folder.Write("~hushvault-staged-1-1", "left by a crash");
  folder.Write("hushvault-staged-1-2", "the user's own");
  fs::create_directory(folder / "~hushvault-staged-1-3");
  const auto running = streams.Stage((folder / "running").string(), "");
  ASSERT_NE(running, nullptr);
  ASSERT_TRUE(Write(*running, "still mine"));
  const Names before = test::NamesIn(folder.Path());

  auto next = streams.Stage((folder / "next").string(), "");
  ASSERT_NE(next, nullptr);
  ASSERT_TRUE(Write(*next, "next"));
  ASSERT_TRUE(next->Commit());
  Names expected = before;
  expected.erase("~hushvault-staged-1-1");
  expected.insert("next");
  EXPECT_EQ(test::NamesIn(folder.Path()), expected);
  ASSERT_TRUE(running->Commit());
  EXPECT_EQ(test::ReadFile(folder / "running"), "still mine");
}

}  // namespace
}  // namespace hv
