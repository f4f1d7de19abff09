#include "app/frmProgress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace hv {
namespace {

constexpr int kRefreshMs = 100;
constexpr int kWhole = 1000;

}  // namespace

frmProgress::frmProgress(ProgressFeed feed, QWidget* over)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      cmdCancel(new QPushButton("Cancel", this)),
      feed_(std::move(feed)),
      lblItem_(new QLabel(this)),
      lblCounts_(new QLabel(this)),
      barDone_(new QProgressBar(this)) {
  setObjectName("frmProgress");
  setWindowTitle(feed_.title);
  cmdCancel->setObjectName("cmdCancel");
  lblItem_->setObjectName("lblItem");
  lblCounts_->setObjectName("lblCounts");
  barDone_->setObjectName("barDone");

  auto* heading = new QLabel(feed_.heading, this);
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  lblItem_->setTextFormat(Qt::PlainText);
  lblItem_->setMinimumWidth(380);
  barDone_->setTextVisible(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 16, 16, 16);
  layout->setSpacing(8);
  layout->addWidget(heading);
  layout->addWidget(lblItem_);
  layout->addWidget(barDone_);
  layout->addWidget(lblCounts_);
  layout->addSpacing(4);
  layout->addLayout(buttons);

  connect(cmdCancel, &QPushButton::clicked, this, [this] {
    feed_.stop();
    cmdCancel->setEnabled(false);
    cmdCancel->setText(feed_.stopping);
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
  const ProgressFrame frame = feed_.read();
  lblItem_->setText(frame.item.isEmpty() ? QString("Starting...") : frame.item);
  lblCounts_->setText(frame.counts);
  // An empty range makes the bar show that it is busy, without a share.
  barDone_->setRange(0, frame.permille < 0 ? 0 : kWhole);
  barDone_->setValue(std::max(frame.permille, 0));
}

}  // namespace hv
