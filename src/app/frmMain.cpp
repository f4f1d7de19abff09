#include "app/frmMain.h"

#include <QTabBar>
#include <QVBoxLayout>

namespace hv {

frmMain::frmMain(QWidget* parent) : QWidget(parent), tabMain_(new QTabBar(this)) {
  setObjectName("frmMain");
  setWindowTitle("Hushvault");
  tabMain_->setObjectName("tabMain");
  tabMain_->setExpanding(false);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabMain_);
  for (int i = 0; i < kTabCount; ++i) {
    cntTab_[i] = new QWidget(this);
    cntTab_[i]->setObjectName(QString("cntTab%1").arg(i));
    layout->addWidget(cntTab_[i], 1);
  }
  connect(tabMain_, &QTabBar::currentChanged, this, [this](int index) { ShowTab(index + 1); });
  AddTabs();
  resize(640, 480);
}

void frmMain::AddTabs() {
  const QSignalBlocker quiet(tabMain_);
  for (const char* caption : {"Hushvault", "Windows Activity Cleaner", "Web Activity Cleaner",
                              "File Protection", "About / Settings"}) {
    tabMain_->addTab(caption);
  }
  ShowTab(1);
}

void frmMain::ShowTab(int n) {
  for (QWidget* container : cntTab_) {
    container->hide();
  }
  cntTab_[n - 1]->show();
  cntTab_[n - 1]->raise();
}

}  // namespace hv
