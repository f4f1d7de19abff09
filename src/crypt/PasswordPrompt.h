#pragma once

#include <functional>
#include <string>

namespace hv {

inline constexpr const char* kReenterPasswordPrompt =
    "Please re-enter the password to avoid mistyped passwords.";
inline constexpr const char* kPasswordsDoNotMatch = "Passwords do not match!";

// Shows the password dialog once with this prompt (reentry: the confirming showing, set
// apart from the first) and returns what was typed; empty when the user cancelled.
using ShowPasswordDialog = std::function<std::string(const std::string& prompt, bool reentry)>;

// Shows a message box (text, style, title) and returns the answer code.
using ShowMessageBox =
    std::function<int(const std::string& text, int style, const std::string& title)>;

// The password question without any real dialog: asks once (noConfirm) or twice until both
// entries agree, offering Retry on a mismatch. Returns the password exactly as typed, or the
// empty string when the user gave none.
std::string PromptForPassword(const std::string& prompt, bool noConfirm,
                              const ShowPasswordDialog& showDialog,
                              const ShowMessageBox& messageBox);

// True when the text holds nothing but blanks (or nothing at all).
bool IsBlank(const std::string& text);

}  // namespace hv
