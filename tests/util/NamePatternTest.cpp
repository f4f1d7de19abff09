#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "util/NamePattern.h"

namespace hv {
namespace {

struct PatternCase {
  const char* name;
  const char* pattern;
  bool matches;
};

void PrintTo(const PatternCase& c, std::ostream* os) {
  *os << "'" << c.name << "' ~ '" << c.pattern << "'";
}

class NamePatternTest : public testing::TestWithParam<PatternCase> {};

TEST_P(NamePatternTest, MatchesWholeName) {
  const PatternCase& c = GetParam();
  EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches)
      << "name '" << c.name << "' pattern '" << c.pattern << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Stars, NamePatternTest,
    testing::Values(PatternCase{"", "*", true}, PatternCase{"anything", "*", true},
                    PatternCase{"report.txt", "*.txt", true},
                    PatternCase{"report.txt.bak", "*.txt", false}, PatternCase{"abc", "a*c", true},
                    PatternCase{"ac", "a*c", true}, PatternCase{"abcbc", "a*bc", true},
                    PatternCase{"abcb", "a*bc", false},
                    PatternCase{"mississippi", "*iss*ppi", true}, PatternCase{"x", "**x**", true},
                    PatternCase{"", "", true}, PatternCase{"a", "", false}));

INSTANTIATE_TEST_SUITE_P(
    SingleCharacters, NamePatternTest,
    testing::Values(PatternCase{"cat", "c?t", true}, PatternCase{"ct", "c?t", false},
                    PatternCase{"file7", "file#", true}, PatternCase{"fileX", "file#", false},
                    PatternCase{"file12", "file#", false}, PatternCase{"v10", "v##", true},
                    PatternCase{"#", "#", false}, PatternCase{"?", "?", true}));

INSTANTIATE_TEST_SUITE_P(
    Lists, NamePatternTest,
    testing::Values(PatternCase{"b", "[abc]", true}, PatternCase{"d", "[abc]", false},
                    PatternCase{"m", "[a-z]", true}, PatternCase{"M", "[a-z]", false},
                    PatternCase{"5", "[0-9a-f]", true}, PatternCase{"e", "[0-9a-f]", true},
                    PatternCase{"g", "[0-9a-f]", false}, PatternCase{"d", "[!abc]", true},
                    PatternCase{"a", "[!abc]", false}, PatternCase{"Q", "[!a-z]", true},
                    PatternCase{"-", "[a-]", true}, PatternCase{"-", "[-a]", true},
                    PatternCase{"b", "[z-a]", false}, PatternCase{"*", "[*]", true},
                    PatternCase{"x", "[*]", false}, PatternCase{"?", "[?]", true},
                    PatternCase{"#", "[#]", true}, PatternCase{"ab", "a[]b", true},
                    PatternCase{"x", "[!]", true}, PatternCase{"", "[!]", false},
                    PatternCase{"[ab", "[ab", true}, PatternCase{"a", "[ab", false},
                    PatternCase{"!", "[!!]", false},
                    PatternCase{"log1.txt", "log[0-9].txt", true}));

INSTANTIATE_TEST_SUITE_P(
    CaseAndCharacters, NamePatternTest,
    testing::Values(PatternCase{"README", "readme", false}, PatternCase{"Readme", "R*", true},
                    PatternCase{"readme", "R*", false}, PatternCase{"MRU", "mru", false},
                    PatternCase{"\xC3\xA4"
                                "b.txt",
                                "??.txt", true},
                    PatternCase{"\xC3\xA4", "[\xC3\xA0-\xC3\xBF]", true},
                    PatternCase{"\xFF\xFE", "??", true}, PatternCase{"\xFF", "\xFF", true},
                    PatternCase{"\xFF", "\xFE", false},
                    PatternCase{"with space", "with?space", true},
                    PatternCase{"Cookie:", "Cookie:*", true},
                    PatternCase{"Cookie:\xFF\xC3\xA4", "Cookie:*", true},
                    PatternCase{"Cookie", "Cookie:*", false}, PatternCase{"C\xC3\xA4", "C?", true},
                    PatternCase{"Co", "Cookie", false}, PatternCase{"Cookies", "Cookie", false}));

// A pattern of many stars against a long name that almost matches must finish at once;
// backtracking over every star would never end.
TEST(NamePatternLimits, ManyStarsOnLongNameFinish) {
  const std::string name(20000, 'a');
  std::string pattern;
  for (int i = 0; i < 200; ++i) {
    pattern += "*a";
  }
  EXPECT_FALSE(MatchesPattern(name, pattern + "b"));
  EXPECT_TRUE(MatchesPattern(name, pattern));
}

TEST(NamePatternLimits, NameWithNulBytesIsMatchedByteForByte) {
  const std::string name("a\0b", 3);
  EXPECT_TRUE(MatchesPattern(name, std::string("a?b")));
  EXPECT_TRUE(MatchesPattern(name, std::string("a\0b", 3)));
  EXPECT_FALSE(MatchesPattern(name, "ab"));
}

}  // namespace
}  // namespace hv
