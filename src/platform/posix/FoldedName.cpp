#include "platform/posix/FoldedName.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdint>

namespace hv {

std::string FoldedName(std::string_view name) {
  std::string folded;
  folded.reserve(name.size());
  const auto* bytes = reinterpret_cast<const uint8_t*>(name.data());
  const auto length = static_cast<int64_t>(name.size());
  int64_t next = 0;
  while (next < length) {
    const int64_t start = next;
    UChar32 c = 0;
    U8_NEXT(bytes, next, length, c);
    if (c < 0) {
      folded.append(name.substr(start, next - start));
      continue;
    }
    uint8_t letter[U8_MAX_LENGTH];
    int32_t size = 0;
    U8_APPEND_UNSAFE(letter, size, u_foldCase(c, U_FOLD_CASE_DEFAULT));
    folded.append(reinterpret_cast<const char*>(letter), size);
  }
  return folded;
}

}  // namespace hv
