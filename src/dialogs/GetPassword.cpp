#include "dialogs/GetPassword.h"

#include <QMessageBox>

#include "crypt/PasswordPrompt.h"
#include "dialogs/frmPassword.h"
#include "ports/UserInterface.h"

namespace hv {
namespace {

std::string ShowPasswordOnce(const std::string& prompt, bool reentry) {
  // A fresh dialog for every showing, so nothing typed survives into the next one.
  frmPassword dialog;
  dialog.SetPrompt(prompt, reentry);
  return dialog.Ask();
}

int AskRetryOrCancel(const std::string& text, int /*style*/, const std::string& title) {
  QMessageBox box(QMessageBox::Warning, QString::fromStdString(title), QString::fromStdString(text),
                  QMessageBox::Retry | QMessageBox::Cancel);
  box.setObjectName("msgPasswordMismatch");
  box.setDefaultButton(QMessageBox::Retry);
  return box.exec() == QMessageBox::Retry ? MessageAnswer::kRetry : MessageAnswer::kCancel;
}

}  // namespace

std::string GetPassword(const std::string& prompt, bool noConfirm) {
  return PromptForPassword(prompt, noConfirm, ShowPasswordOnce, AskRetryOrCancel);
}

}  // namespace hv
