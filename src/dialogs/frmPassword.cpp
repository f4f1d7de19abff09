#include "dialogs/frmPassword.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace hv {

frmPassword::frmPassword(QWidget* parent)
    : QDialog(parent),
      lblText_(new QLabel(this)),
      txtPass_(new QLineEdit(this)),
      cmdOK_(new QPushButton("OK", this)),
      cmdCancel_(new QPushButton("Cancel", this)) {
  setObjectName("frmPassword");
  setWindowTitle(" Password:");
  setModal(true);

  auto* image = new QLabel(this);
  image->setObjectName("Image1");
  image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));

  lblText_->setObjectName("lblText");
  lblText_->setWordWrap(true);
  lblText_->setMinimumWidth(320);

  txtPass_->setObjectName("txtPass");
  txtPass_->setEchoMode(QLineEdit::Password);
  // Every typed character shows as an asterisk, whatever the style's own mask character.
  txtPass_->setStyleSheet("lineedit-password-character: 42");

  cmdOK_->setObjectName("cmdOK");
  cmdOK_->setDefault(true);
  cmdOK_->setAutoDefault(true);
  cmdCancel_->setObjectName("cmdCancel");
  cmdCancel_->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdOK_);
  buttons->addWidget(cmdCancel_);

  auto* layout = new QGridLayout(this);
  layout->addWidget(image, 0, 0, 2, 1, Qt::AlignTop);
  layout->addWidget(lblText_, 0, 1);
  layout->addWidget(txtPass_, 1, 1);
  layout->addLayout(buttons, 2, 0, 1, 2);

  connect(cmdOK_, &QPushButton::clicked, this, &frmPassword::cmdOK_Click);
  connect(cmdCancel_, &QPushButton::clicked, this, &frmPassword::cmdCancel_Click);
  // Escape and the window frame end the dialog as Cancel does.
  connect(this, &QDialog::rejected, this, &frmPassword::WipeBox);
}

frmPassword::~frmPassword() {
  WipeBox();
}

void frmPassword::SetPrompt(const std::string& prompt, bool reentry) {
  lblText_->setText(QString::fromStdString(prompt));
  lblText_->setStyleSheet(reentry ? "color: #ff0000;" : "");
}

std::string frmPassword::Ask() {
  txtPass_->setFocus();
  if (exec() != QDialog::Accepted) {
    return {};
  }
  std::string typed = txtPass_->text().toStdString();
  WipeBox();
  return typed;
}

void frmPassword::cmdOK_Click() {
  // Blank means spaces only; any other character may be part of a password.
  const QString typed = txtPass_->text();
  if (typed.count(u' ') == typed.size()) {
    QApplication::beep();
    txtPass_->setFocus();
    return;
  }
  accept();
}

void frmPassword::cmdCancel_Click() {
  WipeBox();
  reject();
}

void frmPassword::WipeBox() {
  // Overwrite the box's own copy before emptying it; the undo history goes with it.
  const qsizetype length = txtPass_->text().size();
  txtPass_->setText(QString(length, QChar('\0')));
  txtPass_->clear();
}

}  // namespace hv
