#include "app/frmProgress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "clean/RunReport.h"

namespace hv {
namespace {

constexpr int kRefreshMs = 100;

}  // namespace

frmProgress::frmProgress(RunReport& report, bool preview, QWidget* over)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      cmdCancel(new QPushButton("Cancel", this)),
      report_(report),
      lblItem_(new QLabel(this)),
      lblCounts_(new QLabel(this)),
      barBusy_(new QProgressBar(this)) {
  setObjectName("frmProgress");
  setWindowTitle(preview ? "Hushvault - Preview" : "Hushvault - Cleaning up");
  cmdCancel->setObjectName("cmdCancel");
  lblItem_->setObjectName("lblItem");
  lblCounts_->setObjectName("lblCounts");

  auto* heading = new QLabel(
      preview ? "Looking for what Clean Now! would remove..." : "Cleaning up the checked items...",
      this);
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  lblItem_->setTextFormat(Qt::PlainText);
  lblItem_->setMinimumWidth(380);
  barBusy_->setRange(0, 0);  // how many entries are to come is not known beforehand
  barBusy_->setTextVisible(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 16, 16, 16);
  layout->setSpacing(8);
  layout->addWidget(heading);
  layout->addWidget(lblItem_);
  layout->addWidget(barBusy_);
  layout->addWidget(lblCounts_);
  layout->addSpacing(4);
  layout->addLayout(buttons);

  connect(cmdCancel, &QPushButton::clicked, this, [this] {
    report_.RequestStop();
    cmdCancel->setEnabled(false);
    cmdCancel->setText("Stopping...");
  });
  connect(&timer_, &QTimer::timeout, this, &frmProgress::Refresh);
  timer_.start(kRefreshMs);
  Refresh();
  adjustSize();
  if (over != nullptr) {
    move(over->geometry().center() - rect().center());
  }
}

void frmProgress::Refresh() {
  const RunReport::Progress progress = report_.CurrentProgress();
  lblItem_->setText(progress.item.empty() ? QString("Starting...")
                                          : QString::fromStdString(progress.item));
  lblCounts_->setText(QString::fromStdString(GroupedNumber(progress.entries) + " entries, " +
                                             DisplaySize(progress.bytes) + " so far"));
}

}  // namespace hv
