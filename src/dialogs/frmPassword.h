#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace hv {

// The modal password dialog: a prompt, a masked box, OK (refuses a blank entry) and Cancel.
class frmPassword : public QDialog {
  Q_OBJECT

 public:
  explicit frmPassword(QWidget* parent = nullptr);
  ~frmPassword() override;

  // Sets the prompt; reentry shows it in red, as the confirming question.
  void SetPrompt(const std::string& prompt, bool reentry);

  // Shows the dialog modally and returns what was typed: empty when cancelled or closed.
  std::string Ask();

 private:
  void cmdOK_Click();
  void cmdCancel_Click();
  void WipeBox();

  QLabel* lblText_;
  QLineEdit* txtPass_;
  QPushButton* cmdOK_;
  QPushButton* cmdCancel_;
};

}  // namespace hv
