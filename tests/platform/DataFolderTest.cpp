#include "platform/DataFolder.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "platform/FileSystem.h"

namespace hv {
namespace {

// The candidates go from the program's own folder up to the configured install; the
// search takes the first that holds the definition files and names all it tried.
TEST(DataFolderTest, CandidatesStartBesideTheProgram) {
  const std::string sep(1, kPathSeparator);
  const std::vector<std::string> candidates = DataFolderCandidates("/opt/hv/bin");
  ASSERT_GE(candidates.size(), 2u);
  EXPECT_EQ(candidates[0], "/opt/hv/bin" + sep + "config");
  EXPECT_EQ(candidates[1], "/opt/hv" + sep + "share" + sep + "hushvault");
}

const struct SearchCase {
  const char* what;
  std::vector<std::string> withMarker;  // candidates (by name) that hold the definition file
  std::vector<std::string> otherFiles;  // files that must not count
  std::optional<std::string> found;
  size_t searched;
} kSearchCases[] = {
    {"the first wins", {"a", "b"}, {}, "a", 1},
    {"a later one", {"c"}, {}, "c", 3},
    {"only pages beside the program", {"b"}, {"a/web.pick"}, "b", 2},
    {"a folder named like the file", {}, {"a/winclean.cln/x"}, std::nullopt, 3},
    {"nowhere", {}, {}, std::nullopt, 3},
};

TEST(DataFolderTest, SearchTakesTheFirstFolderWithTheDefinitions) {
  for (const SearchCase& c : kSearchCases) {
    SCOPED_TRACE(c.what);
    const test::TempFolder folder;
    for (const std::string& name : c.withMarker) {
      folder.Write(name + "/winclean.cln", "");
    }
    for (const std::string& file : c.otherFiles) {
      folder.Write(file, "");
    }
    std::vector<std::string> candidates;
    for (const char* name : {"a", "b", "c"}) {
      candidates.push_back((folder / name).string());
    }
    const DataFolderSearch search = FindDataFolder(candidates);
    EXPECT_EQ(search.found, c.found ? std::optional((folder / *c.found).string()) : std::nullopt);
    EXPECT_EQ(search.searched,
              std::vector<std::string>(candidates.begin(), candidates.begin() + c.searched));
  }
}

TEST(DataFolderTest, NotFoundNamesEveryFolderLookedIn) {
  const std::string message = DataFolderNotFound({std::nullopt, {"/x/config", "/y/share"}});
  EXPECT_NE(message.find("were not found"), std::string::npos) << message;
  EXPECT_NE(message.find("\n  /x/config\n  /y/share"), std::string::npos) << message;
}

}  // namespace
}  // namespace hv
