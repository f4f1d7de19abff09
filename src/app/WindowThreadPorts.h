#pragma once

#include "ports/SelectionDocument.h"
#include "ports/UserInterface.h"

class QObject;

namespace hv {

// The user-interface port for a run that works off the window's thread: every call is
// carried out on the window's thread, in order, while the run waits for its answer, so
// questions stay modal and one at a time. Pending messages are the window thread's own
// business, so the run's yields do nothing.
class WindowThreadUserInterface : public UserInterface {
 public:
  WindowThreadUserInterface(UserInterface& window, QObject& windowThread)
      : window_(window), thread_(windowThread) {}

  int MessageBox(const std::string& text, int style, const std::string& title) override;
  std::string GetPassword(const std::string& prompt, bool noConfirm) override;
  std::string ChooseFromList(const std::string& prompt, const std::string& list) override;
  std::optional<std::string> InputText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override;
  void ProcessPendingMessages() override {}
  void SetMainWindowEnabled(bool enabled) override;
  void SetMainWindowCaption(const std::string& caption) override;
  bool SettingChecked(int index) override;

 private:
  UserInterface& window_;
  QObject& thread_;
};

// The selection page asked from a run off the window's thread: the page answers on the
// window's thread only.
class WindowThreadDocument : public SelectionDocument {
 public:
  WindowThreadDocument(SelectionDocument& page, QObject& windowThread)
      : page_(page), thread_(windowThread) {}

  bool IsCheckedByKey(const std::string& key) override;
  int CheckBoxCount() override;
  bool CheckBoxState(int position) override;
  void ClickCheckBox(int position) override;

 private:
  SelectionDocument& page_;
  QObject& thread_;
};

}  // namespace hv
