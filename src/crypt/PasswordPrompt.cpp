#include "crypt/PasswordPrompt.h"

#include "crypt/WipeSecret.h"
#include "ports/UserInterface.h"

namespace hv {

bool IsBlank(const std::string& text) {
  return text.find_first_not_of(' ') == std::string::npos;
}

std::string PromptForPassword(const std::string& prompt, bool noConfirm,
                              const ShowPasswordDialog& showDialog,
                              const ShowMessageBox& messageBox) {
  for (;;) {
    std::string first = showDialog(prompt, false);
    if (IsBlank(first)) {
      WipeSecret(first);
      return {};
    }
    if (noConfirm) {
      return first;
    }
    std::string second = showDialog(kReenterPasswordPrompt, true);
    const bool same = first == second;
    WipeSecret(second);
    if (same) {
      return first;
    }
    WipeSecret(first);
    const int answer = messageBox(
        kPasswordsDoNotMatch, MessageStyle::kRetryCancel | MessageStyle::kExclamation, kAppTitle);
    if (answer != MessageAnswer::kRetry) {
      return {};
    }
  }
}

}  // namespace hv
