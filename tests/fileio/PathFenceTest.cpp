#include "fileio/PathFence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "RecordingSink.h"
#include "TempFolder.h"
#include "fileio/DeleteFiles.h"

namespace hv {
namespace {

namespace fs = std::filesystem;

TEST(PathFenceTest, FencesPlacesAndEverythingBelowThem) {
  PathFence fence;
  fence.Add("/srv/data/keep", "kept");
  fence.Add("/srv/data/one.txt/", "kept file");
  fence.Add("/srv/./other/../data2", "normalised");
  fence.Add("/top", "below the root");
  fence.Add("/", "the root fences nothing");
  fence.AddMatching("/cache", "ksycoca*", "desktop");
  fence.AddFileName("Cookies", "cookies");
  struct Case {
    const char* path;
    const char* reason;  // nullptr: not fenced
  };
  const Case cases[] = {
      {"/srv/data/keep", "kept"},
      {"/srv/data/keep/a/b", "kept"},
      {"/srv/data/keeper", nullptr},
      {"/srv/data/kee", nullptr},
      {"/srv/data", nullptr},
      {"/srv/data/one.txt", "kept file"},
      {"/srv/data2/x", "normalised"},
      {"/top/x", "below the root"},
      {"/topmost", nullptr},
      {"/cache/ksycoca6_en", "desktop"},
      {"/cache/sub/ksycoca6_en", nullptr},
      {"/cache/kde/ksycoca", nullptr},
      {"/cache", nullptr},
      {"/elsewhere/Cookies", nullptr},  // a file name binds only by name
  };
  for (const Case& c : cases) {
    const std::string* reason = fence.ReasonFor(c.path);
    EXPECT_EQ(reason != nullptr ? *reason : "not fenced",
              c.reason != nullptr ? c.reason : "not fenced")
        << c.path;
  }
  ASSERT_NE(fence.ReasonForFileName("Cookies"), nullptr);
  EXPECT_EQ(fence.ReasonForFileName("cookies"), nullptr);
  EXPECT_FALSE(fence.Empty());
  EXPECT_TRUE(PathFence().Empty());
}

// A kept folder is not entered: even an empty one, which the deletion otherwise removes,
// stays, and so does an empty folder inside it.
TEST(PathFenceTest, DeleteFilesNeitherEntersNorRemovesAFencedFolder) {
  test::TempFolder temp;
  fs::create_directories(temp / "root/kept/empty");
  fs::create_directories(temp / "root/keptEmpty");
  fs::create_directories(temp / "root/plainEmpty");
  temp.Write("root/kept/file.txt", "keep");
  temp.Write("root/loose.txt", "go");
  PathFence fence;
  fence.Add((temp / "root/kept").string(), "kept");
  fence.Add((temp / "root/keptEmpty").string(), "kept");
  test::RecordingSink sink;
  DeleteFiles((temp / "root").string(), "*", false, sink, false, NativeFileSystem(), fence);

  EXPECT_TRUE(fs::exists(temp / "root/kept/empty"));
  EXPECT_TRUE(fs::exists(temp / "root/kept/file.txt"));
  EXPECT_TRUE(fs::exists(temp / "root/keptEmpty"));
  EXPECT_FALSE(fs::exists(temp / "root/plainEmpty"));
  EXPECT_FALSE(fs::exists(temp / "root/loose.txt"));
  std::vector<std::string> left;
  for (const ReportEntry& entry : sink.entries) {
    if (entry.outcome == EntryOutcome::kLeft) {
      left.push_back(fs::path(entry.what).filename().string() + ": " + entry.reason);
    }
  }
  std::ranges::sort(left);
  EXPECT_EQ(left, (std::vector<std::string>{"kept: kept", "keptEmpty: kept"}));
}

}  // namespace
}  // namespace hv
