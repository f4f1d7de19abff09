#include "app/QtUserInterface.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QInputDialog>

#include "app/MessageStyles.h"
#include "app/TextLines.h"
#include "app/frmMain.h"
#include "dialogs/ChooseFromList.h"
#include "dialogs/GetPassword.h"

namespace hv {

int QtUserInterface::MessageBox(const std::string& text, int style, const std::string& title) {
  QMessageBox box(MessageIcon(style), DisplayText(title.empty() ? kAppTitle : title),
                  DisplayText(text), MessageButtons(style), &window_);
  box.exec();
  return MessageAnswerOf(box.standardButton(box.clickedButton()));
}

std::string QtUserInterface::GetPassword(const std::string& prompt, bool noConfirm) {
  return hv::GetPassword(prompt, noConfirm);
}

std::string QtUserInterface::ChooseFromList(const std::string& prompt, const std::string& list) {
  return hv::ChooseFromList(prompt, list);
}

std::optional<std::string> QtUserInterface::InputText(const std::string& prompt,
                                                      const std::string& title,
                                                      const std::string& initial) {
  bool accepted = false;
  const QString text =
      QInputDialog::getText(&window_, DisplayText(title), DisplayText(prompt), QLineEdit::Normal,
                            QString::fromStdString(initial), &accepted);
  if (!accepted) {
    return std::nullopt;
  }
  return text.toStdString();
}

void QtUserInterface::ProcessPendingMessages() {
  QCoreApplication::processEvents();
}

void QtUserInterface::SetMainWindowEnabled(bool enabled) {
  window_.setEnabled(enabled);
}

void QtUserInterface::SetMainWindowCaption(const std::string& caption) {
  window_.setWindowTitle(QString::fromStdString(caption));
}

bool QtUserInterface::SettingChecked(int index) {
  return window_.Setting(index)->isChecked();
}

}  // namespace hv
