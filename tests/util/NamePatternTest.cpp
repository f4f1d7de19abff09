#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/NamePattern.h"

namespace hv {
namespace {

// Each pattern with names it must match and names it must not.
TEST(NamePattern, MatchesWholeNames) {
  const struct {
    const char* pattern;
    std::vector<const char*> matching;
    std::vector<const char*> others;
  } cases[] = {
      {"*", {"", "anything"}, {}},
      {"*.txt", {"report.txt"}, {"report.txt.bak"}},
      {"a*c", {"ac", "abc"}, {"ab"}},
      {"a*bc", {"abcbc"}, {"abcb"}},
      {"*iss*ppi", {"mississippi"}, {}},
      {"**x**", {"x"}, {}},
      {"", {""}, {"a"}},
      {"c?t", {"cat"}, {"ct"}},
      {"file#", {"file7"}, {"fileX", "file12"}},
      {"#", {}, {"#"}},
      {"?", {"?"}, {}},
      {"[abc]", {"b"}, {"d"}},
      {"[a-z]", {"m"}, {"M"}},
      {"[0-9a-f]", {"5", "e"}, {"g"}},
      {"[!abc]", {"d"}, {"a"}},
      {"[!a-z]", {"Q"}, {}},
      {"[a-]", {"-"}, {}},
      {"[-a]", {"-"}, {}},
      {"[z-a]", {}, {"b"}},
      {"[*]", {"*"}, {"x"}},
      {"[#]", {"#"}, {}},
      {"a[]b", {"ab"}, {}},
      {"[!]", {"x"}, {""}},
      {"[ab", {"[ab"}, {"a"}},
      {"[!!]", {}, {"!"}},
      {"log[0-9].txt", {"log1.txt"}, {}},
      {"readme", {}, {"README"}},
      {"R*", {"Readme"}, {"readme"}},
      {"?.txt", {"\xC3\xA4.txt"}, {}},
      {"[\xC3\xA0-\xC3\xBF]", {"\xC3\xA4"}, {}},
      {"??", {"\xFF\xFE"}, {}},
      {"\xFF", {"\xFF"}, {"\xFE"}},
      {"C?", {"C\xC3\xA4"}, {}},
      {"Cookie:*", {"Cookie:", "Cookie:\xFF\xC3\xA4"}, {"Cookie"}},
      {"Cookie", {}, {"Co", "Cookies"}},
  };
  for (const auto& c : cases) {
    for (const bool matches : {true, false}) {
      for (const char* name : matches ? c.matching : c.others) {
        EXPECT_EQ(MatchesPattern(name, c.pattern), matches)
            << "'" << name << "' ~ '" << c.pattern << "'";
      }
    }
  }
}

// A pattern of many stars against a long name that almost matches must finish at once;
// backtracking over every star would never end.
TEST(NamePattern, ManyStarsOnLongNameFinish) {
  const std::string name(20000, 'a');
  std::string pattern;
  for (int i = 0; i < 200; ++i) {
    pattern += "*a";
  }
  EXPECT_FALSE(MatchesPattern(name, pattern + "b"));
  EXPECT_TRUE(MatchesPattern(name, pattern));
}

TEST(NamePattern, NameWithNulBytesIsMatchedByteForByte) {
  const std::string name("a\0b", 3);
  EXPECT_TRUE(MatchesPattern(name, std::string("a?b")));
  EXPECT_TRUE(MatchesPattern(name, std::string("a\0b", 3)));
  EXPECT_FALSE(MatchesPattern(name, "ab"));
}

}  // namespace
}  // namespace hv
