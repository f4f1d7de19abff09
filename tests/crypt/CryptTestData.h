#pragma once

#include <random>
#include <string>

#include "crypt/Crypto.h"

namespace hv::test {

// Bytes of every value, the same for the same seed.
inline std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 generator(seed);
  std::string data(size, '\0');
  for (char& c : data) {
    c = static_cast<char>(generator());
  }
  return data;
}

// The whole encrypted form of plain, as Crypto makes it in memory.
inline std::string Encrypted(std::string plain, const std::string& password) {
  Crypto().DataCrypt(plain, password, true);
  return plain;
}

}  // namespace hv::test
