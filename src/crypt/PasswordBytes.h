#pragma once

#include <string>
#include <vector>

namespace hv {

// The bytes a password, typed as UTF-8 text, keys a file from. The program's Windows versions
// keyed from the password's bytes in the system's ANSI code page, so those bytes come first
// when every character has one, the UTF-8 bytes otherwise; the other form, when there is one
// and it differs, is tried second when decrypting, for files made the other way. Text that is
// not UTF-8 (a password file may hold any bytes) is used byte for byte. Every form is wiped
// when the object goes.
class PasswordBytes {
 public:
  explicit PasswordBytes(const std::string& typed);
  ~PasswordBytes();
  PasswordBytes(const PasswordBytes&) = delete;
  PasswordBytes& operator=(const PasswordBytes&) = delete;

  // The bytes new files are keyed from.
  const std::string& Preferred() const { return forms_.front(); }

  // Every form, in the order to try them: Preferred first.
  const std::vector<std::string>& Forms() const { return forms_; }

 private:
  std::vector<std::string> forms_;
};

}  // namespace hv
