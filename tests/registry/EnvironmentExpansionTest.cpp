#include "platform/EnvironmentExpansion.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>

namespace hv {
namespace {

struct ExpansionCase {
  const char* what;
  std::string text;
  std::string expected;
};

void PrintTo(const ExpansionCase& c, std::ostream* os) {
  *os << c.what;
}

class EnvironmentExpansion : public testing::TestWithParam<ExpansionCase> {
 protected:
  static void SetUpTestSuite() {
    setenv("HV_EXPAND_ONE", "first", 1);
    setenv("HV_EXPAND_PATH", "/data/x", 1);
    setenv("HV_EXPAND_EMPTY", "", 1);
    setenv("HV_EXPAND_PERCENT", "50%", 1);
    setenv("hv_expand_case", "lower", 1);
    setenv("HV_EXPAND_CASE", "upper", 1);
  }
};

TEST_P(EnvironmentExpansion, ReplacesDefinedNamesAndKeepsTheRest) {
  EXPECT_EQ(ExpandEnvironmentStrings(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EnvironmentExpansion,
    testing::Values(
        ExpansionCase{"no placeholder", "/plain/path", "/plain/path"},
        ExpansionCase{"empty text", "", ""},
        ExpansionCase{"one variable", "%HV_EXPAND_ONE%", "first"},
        ExpansionCase{"inside a path", "%HV_EXPAND_PATH%/cache/", "/data/x/cache/"},
        ExpansionCase{"twice", "%HV_EXPAND_ONE%-%HV_EXPAND_ONE%", "first-first"},
        ExpansionCase{"undefined kept", "%HV_EXPAND_NOT_SET%/x", "%HV_EXPAND_NOT_SET%/x"},
        ExpansionCase{"undefined then defined share a sign", "%HV_EXPAND_NOT_SET%HV_EXPAND_ONE%",
                      "%HV_EXPAND_NOT_SETfirst"},
        ExpansionCase{"empty value", "a%HV_EXPAND_EMPTY%b", "ab"},
        ExpansionCase{"value not expanded again", "%HV_EXPAND_PERCENT%HV_EXPAND_ONE%",
                      "50%HV_EXPAND_ONE%"},
        ExpansionCase{"lone percent sign", "100% of %HV_EXPAND_ONE", "100% of %HV_EXPAND_ONE"},
        ExpansionCase{"two adjacent signs", "a%%b", "a%%b"},
        ExpansionCase{"exact case first", "%hv_expand_case%,%HV_EXPAND_CASE%", "lower,upper"},
        ExpansionCase{"other case still found", "%Hv_Expand_One%", "first"},
        ExpansionCase{"long result is not cut", "%HV_EXPAND_PATH%/" + std::string(400, 'n'),
                      "/data/x/" + std::string(400, 'n')}));

}  // namespace
}  // namespace hv
