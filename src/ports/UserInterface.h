#pragma once

#include <optional>
#include <string>

namespace hv {

// Message-box styles: icon plus buttons, as the platform's message box numbers them.
namespace MessageStyle {
constexpr int kOkOnly = 0;
constexpr int kOkCancel = 1;
constexpr int kAbortRetryIgnore = 2;
constexpr int kRetryCancel = 5;
constexpr int kYesNo = 4;
constexpr int kQuestion = 32;
constexpr int kExclamation = 48;
constexpr int kInformation = 64;
}  // namespace MessageStyle

// Answers of the message box.
namespace MessageAnswer {
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kAbort = 3;
constexpr int kRetry = 4;
constexpr int kIgnore = 5;
constexpr int kYes = 6;
constexpr int kNo = 7;
}  // namespace MessageAnswer

// The application title, used by every message without a title of its own.
inline constexpr const char* kAppTitle = "Hushvault";

// How the engine reaches the user and the main window. The window implements it with
// real dialogs; tests implement it with a scripted double.
class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // Shows a modal message box and returns the answer code.
  virtual int MessageBox(const std::string& text, int style, const std::string& title) = 0;

  // Asks for a password: the empty string means cancelled. With noConfirm false the
  // password is asked twice and both entries must agree.
  virtual std::string GetPassword(const std::string& prompt, bool noConfirm) = 0;

  // Lets the user pick one of the ';'-separated entries of list; empty when cancelled.
  // A list without ';' is the answer itself and nothing is shown (hv::ChooseFromList).
  virtual std::string ChooseFromList(const std::string& prompt, const std::string& list) = 0;

  // A one-line text input; nullopt when cancelled.
  virtual std::optional<std::string> InputText(const std::string& prompt, const std::string& title,
                                               const std::string& initial) = 0;

  // Lets the window handle its pending messages once (repaint between items).
  virtual void ProcessPendingMessages() = 0;

  virtual void SetMainWindowEnabled(bool enabled) = 0;
  virtual void SetMainWindowCaption(const std::string& caption) = 0;

  // The state of the settings check box with this index (0 Wipe, 1 Warn).
  virtual bool SettingChecked(int index) = 0;
};

}  // namespace hv
