#include "crypt/PasswordBytes.h"

#include "crypt/WipeSecret.h"
#include "platform/AnsiCodePage.h"

namespace hv {

PasswordBytes::PasswordBytes(const std::string& typed) {
  // Room for both forms at once: a reallocation would leave copies in freed memory.
  forms_.reserve(2);
  std::string ansi;
  const SecretGuard wipeAnsi(ansi);
  if (ToAnsiCodePage(typed, ansi) == AnsiConversion::kConverted) {
    forms_.push_back(ansi);
  }
  if (forms_.empty() || forms_.front() != typed) {
    forms_.push_back(typed);
  }
}

PasswordBytes::~PasswordBytes() {
  for (std::string& form : forms_) {
    WipeSecret(form);
  }
}

}  // namespace hv
