#include <optional>

#include "platform/AnsiCodePage.h"

namespace hv {
namespace {

// The characters of Windows-1252's bytes 0x80 to 0x9F; every other byte is the character of
// its own number, and so is each of the five bytes the code page leaves undefined (0 here),
// as Windows converts them. A table rather than iconv: the code page is fixed,
// and glibc's converter loads a module at run time that a small system may lack, and reports
// invalid UTF-8 and a character without a byte alike.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<unsigned char> Windows1252Byte(char32_t character) {
  if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
    return static_cast<unsigned char>(character);
  }
  for (char32_t n = 0; n < 32; ++n) {
    if (kHighControls[n] == character || (kHighControls[n] == 0 && character == 0x80 + n)) {
      return static_cast<unsigned char>(0x80 + n);
    }
  }
  return std::nullopt;
}

// Decodes the character at position (which it moves past); nullopt when the bytes there are
// not the shortest UTF-8 form of a character.
std::optional<char32_t> NextCharacter(std::string_view text, std::size_t& position) {
  const auto lead = static_cast<unsigned char>(text[position++]);
  if (lead < 0x80) {
    return lead;
  }
  std::size_t following;
  char32_t smallest;
  if (lead >= 0xC2 && lead <= 0xDF) {
    following = 1;
    smallest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    following = 2;
    smallest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    following = 3;
    smallest = 0x10000;
  } else {
    return std::nullopt;
  }
  char32_t character = lead & (0x3F >> following);
  for (std::size_t n = 0; n < following; ++n, ++position) {
    if (position >= text.size() || (static_cast<unsigned char>(text[position]) & 0xC0) != 0x80) {
      return std::nullopt;
    }
    character = (character << 6) | (static_cast<unsigned char>(text[position]) & 0x3F);
  }
  const bool surrogate = character >= 0xD800 && character <= 0xDFFF;
  if (character < smallest || surrogate || character > 0x10FFFF) {
    return std::nullopt;
  }
  return character;
}

}  // namespace

AnsiConversion ToAnsiCodePage(std::string_view utf8, std::string& ansi) {
  ansi.reserve(utf8.size());
  bool everyByte = true;
  for (std::size_t position = 0; position < utf8.size();) {
    const auto character = NextCharacter(utf8, position);
    if (!character) {
      return AnsiConversion::kNotUtf8;
    }
    const auto byte = Windows1252Byte(*character);
    everyByte = everyByte && byte.has_value();
    if (everyByte) {
      ansi += static_cast<char>(*byte);
    }
  }
  return everyByte ? AnsiConversion::kConverted : AnsiConversion::kNoByte;
}

}  // namespace hv
