#include "dialogs/frmChoose.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

namespace hv {
namespace {

// The dialog's layout is given in twips; at the reference 96 dots per inch a pixel is 15
// twips, and Qt scales these logical pixels to the screen.
constexpr int Px(int twips) {
  return twips / 15;
}

void Place(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(Px(left), Px(top), Px(width), Px(height));
}

}  // namespace

frmChoose::frmChoose(QWidget* parent)
    : QDialog(parent),
      picQuestion_(new QLabel(this)),
      lblCaption_(new QLabel(this)),
      lstChoose_(new QListWidget(this)),
      cmdOk_(new QPushButton("Ok", this)),
      cmdCancel_(new QPushButton("Cancel", this)) {
  setObjectName("frmChoose");
  setWindowTitle(" Choose an option:");
  setModal(true);
  setFixedSize(Px(5160), Px(1755));

  picQuestion_->setObjectName("picQuestion");
  Place(picQuestion_, 240, 240, 480, 480);
  const int iconSize = Px(480);
  picQuestion_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  picQuestion_->setPixmap(
      style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(iconSize));

  lblCaption_->setObjectName("lblCaption");
  Place(lblCaption_, 840, 240, 3255, 495);
  lblCaption_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblCaption_->setWordWrap(true);
  lblCaption_->setTextFormat(Qt::PlainText);

  lstChoose_->setObjectName("lstChoose");
  Place(lstChoose_, 120, 960, 3975, 645);
  lstChoose_->setSelectionMode(QAbstractItemView::SingleSelection);

  cmdOk_->setObjectName("cmdOk");
  Place(cmdOk_, 4200, 120, 855, 375);
  cmdOk_->setDefault(true);
  cmdOk_->setAutoDefault(true);

  cmdCancel_->setObjectName("cmdCancel");
  Place(cmdCancel_, 4200, 600, 855, 375);
  cmdCancel_->setAutoDefault(false);

  connect(cmdOk_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(lstChoose_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

void frmChoose::SetPrompt(const QString& prompt) {
  lblCaption_->setText(prompt);
}

void frmChoose::AddEntries(const QStringList& entries) {
  lstChoose_->addItems(entries);
  lstChoose_->clearSelection();
  lstChoose_->setCurrentRow(-1);
}

QString frmChoose::SelectedEntry() const {
  const QList<QListWidgetItem*> selected = lstChoose_->selectedItems();
  return selected.isEmpty() ? QString() : selected.front()->text();
}

}  // namespace hv
