#include "dialogs/ChooseFromList.h"

#include <QApplication>

#include "dialogs/frmChoose.h"

namespace hv {

std::string ChooseFromList(const std::string& prompt, const std::string& list) {
  if (list.find(';') == std::string::npos) {
    return list;
  }
  // A fresh dialog per call, so no earlier answer or selection carries over.
  frmChoose dialog(QApplication::activeWindow());
  dialog.SetPrompt(QString::fromStdString(prompt));
  // Every ';' separates, so an empty part stays an (empty) entry of its own.
  dialog.AddEntries(QString::fromStdString(list).split(';', Qt::KeepEmptyParts));
  if (dialog.exec() != QDialog::Accepted) {
    return {};
  }
  return dialog.SelectedEntry().toStdString();
}

}  // namespace hv
