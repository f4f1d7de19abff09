#include "app/MessageStyles.h"

#include "ports/UserInterface.h"

namespace hv {

QMessageBox::Icon MessageIcon(int style) {
  switch (style & 0x70) {
    case 16:
      return QMessageBox::Critical;
    case MessageStyle::kQuestion:
      return QMessageBox::Question;
    case MessageStyle::kExclamation:
      return QMessageBox::Warning;
    case MessageStyle::kInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QMessageBox::StandardButtons MessageButtons(int style) {
  switch (style & 0x7) {
    case MessageStyle::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageStyle::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageStyle::kRetryCancel:
      return QMessageBox::Retry | QMessageBox::Cancel;
    case MessageStyle::kAbortRetryIgnore:
      return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    default:
      return QMessageBox::Ok;
  }
}

int MessageAnswerOf(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Ok:
      return MessageAnswer::kOk;
    case QMessageBox::Abort:
      return MessageAnswer::kAbort;
    case QMessageBox::Retry:
      return MessageAnswer::kRetry;
    case QMessageBox::Ignore:
      return MessageAnswer::kIgnore;
    case QMessageBox::Yes:
      return MessageAnswer::kYes;
    case QMessageBox::No:
      return MessageAnswer::kNo;
    default:
      return MessageAnswer::kCancel;
  }
}

}  // namespace hv
