#include "util/SplitText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hv {
namespace {

TEST(SplitTextTest, GivesThePartsBetweenSeparatorsWithoutEmptyOnes) {
  const struct {
    std::string text;
    std::vector<std::string> parts;
  } cases[] = {
      {"", {}},
      {";;;", {}},
      {"one", {"one"}},
      {".bash_history;.zsh_history", {".bash_history", ".zsh_history"}},
      {";a;;b;", {"a", "b"}},
      {"Current Session; Last Tabs", {"Current Session", " Last Tabs"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitText(c.text, ';'), c.parts) << c.text;
  }
}

}  // namespace
}  // namespace hv
