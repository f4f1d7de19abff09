#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/NamePattern.h"

namespace hv {
namespace {

using namespace std::string_literals;

// Each pattern with names it must match and names it must not.
TEST(NamePattern, MatchesWholeNames) {
  const struct {
    std::string pattern;
    std::vector<std::string> matching;
    std::vector<std::string> others;
  } cases[] = {
      {"*", {"", "anything"}, {}},
      {"*.txt", {"report.txt"}, {"report.txt.bak"}},
      {"a*bc", {"abcbc"}, {"abcb"}},
      {"", {""}, {"a"}},
      {"c?t", {"cat"}, {"ct"}},
      {"file#", {"file7"}, {"fileX", "file12"}},
      {"[abc]", {"b"}, {"d"}},
      {"[a-z]", {"m"}, {"M"}},
      {"[!abc]", {"d"}, {"a"}},
      {"[a-]", {"-"}, {}},
      {"[z-a]", {}, {"b"}},
      {"[*]", {"*"}, {"x"}},
      {"a[]b", {"ab"}, {}},
      {"[!]", {"x"}, {""}},
      {"[ab", {"[ab"}, {"a"}},
      {"[a[b", {"[a[b"}, {"a", "b"}},
      {"x[a]y[", {"xay["}, {"xay", "x[a]y["}},
      {"[[a]", {"[", "a"}, {"[[a]"}},
      {"a[b[c]", {"ab", "a[", "ac"}, {"a[b[c]"}},
      {"*[", {"[", "ab["}, {"ab"}},
      {"[!", {"[!"}, {"x"}},
      {"[a-", {"[a-"}, {"a"}},
      {"readme", {}, {"README"}},
      {"?.txt", {"\xC3\xA4.txt"}, {}},
      {"[\xC3\xA0-\xC3\xBF]", {"\xC3\xA4"}, {}},
      {"??", {"\xFF\xFE"}, {}},
      {"Cookie:*", {"Cookie:", "Cookie:\xFF\xC3\xA4"}, {"Cookie"}},
      {"a?b", {"a\0b"s}, {}},
      {"a\0b"s, {"a\0b"s}, {"ab"}},
  };
  for (const auto& c : cases) {
    for (const bool matches : {true, false}) {
      for (const std::string& name : matches ? c.matching : c.others) {
        EXPECT_EQ(MatchesPattern(name, c.pattern), matches)
            << "'" << name << "' ~ '" << c.pattern << "'";
      }
    }
  }
}

// Backtracking over every star would never end here.
TEST(NamePattern, ManyStarsOnLongNameFinish) {
  const std::string name(20000, 'a');
  std::string pattern;
  for (int i = 0; i < 200; ++i) {
    pattern += "*a";
  }
  EXPECT_FALSE(MatchesPattern(name, pattern + "b"));
  EXPECT_TRUE(MatchesPattern(name, pattern));
}

}  // namespace
}  // namespace hv
