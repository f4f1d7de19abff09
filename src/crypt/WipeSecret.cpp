#include "crypt/WipeSecret.h"

namespace hv {

void WipeBytes(void* bytes, std::size_t size) {
  volatile unsigned char* p = static_cast<unsigned char*>(bytes);
  for (std::size_t i = 0; i < size; ++i) {
    p[i] = 0;
  }
}

void WipeSecret(std::string& secret) {
  // Growing to the capacity zeroes the spare bytes without reallocating.
  secret.resize(secret.capacity());
  WipeBytes(secret.data(), secret.size());
  secret.clear();
}

}  // namespace hv
