#pragma once

#include "ports/UserInterface.h"

namespace hv {

class frmMain;

// The user-interface port with the window's real dialogs.
class QtUserInterface : public UserInterface {
 public:
  explicit QtUserInterface(frmMain& window) : window_(window) {}

  int MessageBox(const std::string& text, int style, const std::string& title) override;
  std::string GetPassword(const std::string& prompt, bool noConfirm) override;
  std::string ChooseFromList(const std::string& prompt, const std::string& list) override;
  std::optional<std::string> InputText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override;
  void ProcessPendingMessages() override;
  void SetMainWindowEnabled(bool enabled) override;
  void SetMainWindowCaption(const std::string& caption) override;
  bool SettingChecked(int index) override;

 private:
  frmMain& window_;
};

}  // namespace hv
