#pragma once

#include <string>
#include <string_view>

namespace hv {

enum class AnsiConversion {
  kConverted,
  kNoByte,   // some character has no byte in the code page
  kNotUtf8,  // the text is not valid UTF-8
};

// Puts the bytes of UTF-8 text in the system's ANSI code page into ansi (empty beforehand, so
// that the caller can wipe the one buffer it gets). Windows-1252 where the system has no such
// code page, since that is what the Windows systems the program's files come from use.
AnsiConversion ToAnsiCodePage(std::string_view utf8, std::string& ansi);

}  // namespace hv
