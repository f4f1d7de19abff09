#pragma once

#include <string_view>

namespace hv {

// Matches a whole name against a pattern, case-sensitively:
//   *        any run of characters, also none
//   ?        exactly one character
//   #        exactly one digit 0-9
//   [list]   one character of the list; ranges such as a-z allowed
//   [!list]  one character not in the list
// Every other character matches itself. A '[' without a closing ']' is an ordinary
// character, an empty list "[]" stands for no character at all, and "[!]" for any one.
// Valid UTF-8 sequences count as one character each; other bytes count one each.
// Runs in time proportional to name length times pattern length, never worse.
bool MatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace hv
