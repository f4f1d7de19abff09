#pragma once

#include <cstddef>
#include <string>

namespace hv {

// Zeroes memory in a way the compiler may not drop as a dead store.
void WipeBytes(void* bytes, std::size_t size);

// Overwrites every byte the string holds (its spare capacity included) with zeros and
// empties it, so that a password does not linger in freed memory.
void WipeSecret(std::string& secret);

// Wipes the string when it goes out of scope, whatever way the scope is left.
class SecretGuard {
 public:
  explicit SecretGuard(std::string& secret) : secret_(secret) {}
  ~SecretGuard() { WipeSecret(secret_); }
  SecretGuard(const SecretGuard&) = delete;
  SecretGuard& operator=(const SecretGuard&) = delete;

 private:
  std::string& secret_;
};

}  // namespace hv
