#include "fileio/WipeFiles.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "ports/UserInterface.h"

namespace hv {
namespace {

struct WipeCase {
  const char* name;
  std::vector<std::string> present;  // files made before the wipe
  std::vector<std::string> missing;  // listed, but never there
  int wiped;
  const char* message;
  int style;
};

class WipeFilesTable : public testing::TestWithParam<WipeCase> {};

TEST_P(WipeFilesTable, CountsAndSaysWhatWasWiped) {
  const test::TempFolder folder;
  const WipeCase& c = GetParam();
  std::vector<std::string> paths;
  for (const std::string& name : c.present) {
    paths.push_back(folder.Write(name, "secret " + name).string());
  }
  for (const std::string& name : c.missing) {
    paths.push_back((folder / name).string());
  }
  const WipeOutcome outcome = WipeFiles(paths);
  EXPECT_EQ(outcome.wiped, c.wiped);
  EXPECT_EQ(outcome.message, c.message);
  EXPECT_EQ(outcome.style, c.style);
  EXPECT_TRUE(test::NamesIn(folder.Path()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WipeFilesTable,
    testing::Values(
        WipeCase{"AllWiped",
                 {"a", "b"},
                 {},
                 2,
                 "Successfully wiped 2 file(s).\r\n",
                 MessageStyle::kInformation},
        WipeCase{"SomeMissing",
                 {"a"},
                 {"gone", "also gone"},
                 1,
                 "Successfully wiped 1 file(s).\r\nCould not delete 2 files!",
                 MessageStyle::kExclamation},
        WipeCase{
            "NoneThere", {}, {"gone"}, 0, "Could not delete 1 files!", MessageStyle::kExclamation},
        WipeCase{"EmptyList", {}, {}, 0, "", MessageStyle::kInformation}),
    [](const testing::TestParamInfo<WipeCase>& info) { return info.param.name; });

}  // namespace
}  // namespace hv
