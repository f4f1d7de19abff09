#include <string>

#include "platform/AnsiCodePage.h"
#include "platform/win32/WindowsApi.h"

namespace hv {
namespace {

// The UTF-16 copy holds a password: it is wiped whichever way the conversion ends.
class WideText {
 public:
  explicit WideText(int length) : text_(static_cast<std::size_t>(length), L'\0') {}
  ~WideText() { SecureZeroMemory(text_.data(), text_.size() * sizeof(wchar_t)); }
  WideText(const WideText&) = delete;
  WideText& operator=(const WideText&) = delete;
  wchar_t* Data() { return text_.data(); }
  int Length() const { return static_cast<int>(text_.size()); }

 private:
  std::wstring text_;
};

}  // namespace

AnsiConversion ToAnsiCodePage(std::string_view utf8, std::string& ansi) {
  if (utf8.empty()) {
    return AnsiConversion::kConverted;
  }
  const int length = static_cast<int>(utf8.size());
  const int wideLength =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
  if (wideLength <= 0) {
    return AnsiConversion::kNotUtf8;
  }
  WideText wide(wideLength);
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.Data(),
                      wide.Length());
  const UINT codePage = GetACP();
  if (codePage == CP_UTF8) {
    ansi.assign(utf8);
    return AnsiConversion::kConverted;
  }
  // No best fit: a character the code page lacks must not become a look-alike byte, which
  // would key from a password the user never typed.
  BOOL usedDefault = FALSE;
  const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.Data(), wide.Length(),
                                       nullptr, 0, nullptr, &usedDefault);
  if (size <= 0 || usedDefault) {
    return AnsiConversion::kNoByte;
  }
  ansi.resize(static_cast<std::size_t>(size));
  WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.Data(), wide.Length(), ansi.data(), size,
                      nullptr, &usedDefault);
  return usedDefault ? AnsiConversion::kNoByte : AnsiConversion::kConverted;
}

}  // namespace hv
