#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace hv {

// The modal list-choice dialog: a question icon, a prompt, a list and "Ok" / "Cancel".
// Leaving it with "Ok" (or a double click on an entry) accepts it; "Cancel", Escape and
// the close box reject it.
class frmChoose : public QDialog {
  Q_OBJECT

 public:
  explicit frmChoose(QWidget* parent = nullptr);

  void SetPrompt(const QString& prompt);
  void AddEntries(const QStringList& entries);

  // The selected entry; empty when nothing is selected.
  QString SelectedEntry() const;

 private:
  QLabel* picQuestion_;
  QLabel* lblCaption_;
  QListWidget* lstChoose_;
  QPushButton* cmdOk_;
  QPushButton* cmdCancel_;
};

}  // namespace hv
