#include "util/NamePattern.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace hv {
namespace {

// Bytes that do not start a valid UTF-8 sequence map into the surrogate range, which no
// valid sequence decodes to, so that they only ever match themselves.
constexpr char32_t kStrayByteBase = 0xDC00;

std::vector<char32_t> DecodeCharacters(std::string_view text) {
  std::vector<char32_t> out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      length = 1;
      value = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      value = lead & 0x1F;
      minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      value = lead & 0x0F;
      minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      value = lead & 0x07;
      minimum = 0x10000;
    }
    bool valid = length > 0 && i + length <= text.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      value = (value << 6) | (next & 0x3F);
    }
    valid = valid && value >= minimum && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
    if (valid) {
      out.push_back(value);
      i += length;
    } else {
      out.push_back(kStrayByteBase + lead);
      ++i;
    }
  }
  return out;
}

struct Token {
  enum class Type { Literal, AnyOne, Digit, List, Star };
  Type type = Type::Literal;
  char32_t literal = 0;
  bool negated = false;
  std::vector<std::pair<char32_t, char32_t>> ranges;

  bool Matches(char32_t c) const {
    switch (type) {
      case Type::Literal:
        return c == literal;
      case Type::AnyOne:
        return true;
      case Type::Digit:
        return c >= U'0' && c <= U'9';
      case Type::List: {
        bool inList = false;
        for (const auto& [low, high] : ranges) {
          if (c >= low && c <= high) {
            inList = true;
            break;
          }
        }
        return inList != negated;
      }
      case Type::Star:
        break;
    }
    return false;
  }
};

// Parses the list between start, just after its '[', and close, its ']'.
void ParseList(const std::vector<char32_t>& p, size_t start, size_t close, Token& token) {
  size_t i = start;
  token.type = Token::Type::List;
  if (i < close && p[i] == U'!') {
    token.negated = true;
    ++i;
  }
  while (i < close) {
    const char32_t low = p[i];
    if (i + 2 < close && p[i + 1] == U'-') {
      token.ranges.emplace_back(low, p[i + 2]);  // a reversed range simply matches nothing
      i += 3;
    } else {
      token.ranges.emplace_back(low, low);
      ++i;
    }
  }
}

// For each position, where the first ']' at or after it stands (none: the pattern's
// length). Found in one pass, so that a run of unclosed '[' is not searched to the end
// again and again.
std::vector<size_t> ListEnds(const std::vector<char32_t>& p) {
  std::vector<size_t> ends(p.size() + 1, p.size());
  for (size_t i = p.size(); i-- > 0;) {
    ends[i] = p[i] == U']' ? i : ends[i + 1];
  }
  return ends;
}

std::vector<Token> Compile(std::string_view pattern) {
  const std::vector<char32_t> p = DecodeCharacters(pattern);
  const std::vector<size_t> listEnds = ListEnds(p);
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < p.size()) {
    Token token;
    const char32_t c = p[i];
    if (c == U'*') {
      ++i;
      if (!tokens.empty() && tokens.back().type == Token::Type::Star) {
        continue;  // consecutive stars mean the same as one
      }
      token.type = Token::Type::Star;
    } else if (c == U'?') {
      token.type = Token::Type::AnyOne;
      ++i;
    } else if (c == U'#') {
      token.type = Token::Type::Digit;
      ++i;
    } else if (c == U'[' && listEnds[i + 1] < p.size()) {
      ParseList(p, i + 1, listEnds[i + 1], token);
      i = listEnds[i + 1] + 1;
      if (token.ranges.empty() && !token.negated) {
        continue;  // "[]" stands for nothing
      }
    } else {
      token.literal = c;
      ++i;
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

// A pattern character below 0x80 that stands only for itself. Such a character is one
// whole character of the name however the bytes around it decode.
bool IsPlainAscii(char c) {
  return static_cast<unsigned char>(c) < 0x80 && c != '*' && c != '?' && c != '#' && c != '[';
}

}  // namespace

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  // The plain start of the pattern must begin the name byte for byte; most names of a walk
  // fail here, without being decoded.
  size_t plain = 0;
  while (plain < pattern.size() && IsPlainAscii(pattern[plain])) {
    ++plain;
  }
  if (name.substr(0, plain) != pattern.substr(0, plain)) {
    return false;
  }
  if (plain == pattern.size()) {
    return name.size() == plain;
  }
  if (pattern.find_first_not_of('*', plain) == std::string_view::npos) {
    return true;  // the plain start, then anything
  }

  const std::vector<Token> tokens = Compile(pattern);
  const std::vector<char32_t> text = DecodeCharacters(name);

  // Greedy matching that backs up only to the most recent star: every other token takes
  // exactly one character, so this finds a match whenever one exists.
  size_t t = 0;
  size_t n = 0;
  size_t resumeToken = tokens.size();
  size_t resumeText = 0;
  bool haveStar = false;
  while (n < text.size()) {
    if (t < tokens.size() && tokens[t].type == Token::Type::Star) {
      haveStar = true;
      resumeToken = ++t;
      resumeText = n;
    } else if (t < tokens.size() && tokens[t].Matches(text[n])) {
      ++t;
      ++n;
    } else if (haveStar) {
      t = resumeToken;
      n = ++resumeText;
    } else {
      return false;
    }
  }
  while (t < tokens.size() && tokens[t].type == Token::Type::Star) {
    ++t;
  }
  return t == tokens.size();
}

}  // namespace hv
