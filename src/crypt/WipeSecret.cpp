#include "crypt/WipeSecret.h"

namespace hv {

void WipeSecret(std::string& secret) {
  // Growing to the capacity zeroes the spare bytes without reallocating; the volatile
  // writes zero the rest and cannot be dropped as dead stores.
  secret.resize(secret.capacity());
  volatile char* bytes = secret.data();
  for (std::size_t i = 0; i < secret.size(); ++i) {
    bytes[i] = 0;
  }
  secret.clear();
}

}  // namespace hv
