#include "crypt/ReadFully.h"

namespace hv {

std::optional<std::size_t> ReadFully(InputStream& input, std::span<unsigned char> bytes) {
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const auto count = input.Read(std::as_writable_bytes(bytes.subspan(filled)));
    if (!count) {
      return std::nullopt;
    }
    if (*count == 0) {
      break;
    }
    filled += *count;
  }
  return filled;
}

}  // namespace hv
