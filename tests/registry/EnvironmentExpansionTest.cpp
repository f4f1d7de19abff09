#include "platform/EnvironmentExpansion.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>

namespace hv {
namespace {

// Texts without placeholders, unknown names, lone percent signs and long results are
// checked through the path expansion of the clean tests.
TEST(EnvironmentExpansion, ReplacesDefinedNamesAndKeepsTheRest) {
  for (const auto& [name, value] : {std::pair{"HV_EXPAND_ONE", "first"},
                                    {"HV_EXPAND_EMPTY", ""},
                                    {"HV_EXPAND_PERCENT", "50%"},
                                    {"hv_expand_case", "lower"},
                                    {"HV_EXPAND_CASE", "upper"}}) {
    setenv(name, value, 1);
  }
  const struct {
    const char* what;
    std::string text;
    std::string expected;
  } cases[] = {
      {"undefined then defined share a sign", "%HV_EXPAND_NOT_SET%HV_EXPAND_ONE%",
       "%HV_EXPAND_NOT_SETfirst"},
      {"empty value", "a%HV_EXPAND_EMPTY%b", "ab"},
      {"value not expanded again", "%HV_EXPAND_PERCENT%HV_EXPAND_ONE%", "50%HV_EXPAND_ONE%"},
      {"exact case first", "%hv_expand_case%,%HV_EXPAND_CASE%", "lower,upper"},
      {"other case still found", "%Hv_Expand_One%", "first"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExpandEnvironmentStrings(c.text), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace hv
