#include "controls/TabControl.h"

#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

#include "controls/Twips.h"

namespace hv {

TabControl::TabControl(QWidget* parent) : QWidget(parent), bar_(new QTabBar(this)) {
  bar_->setExpanding(false);
  bar_->setDrawBase(false);
  bar_->setDocumentMode(false);
  connect(bar_, &QTabBar::currentChanged, this, [this](int index) {
    if (!settingFromCode_ && index >= 0) {
      emit TabSelected(index + 1);
    }
  });
}

void TabControl::AddTab(const QString& caption) {
  // The first tab added becomes current by itself; that is not the user's selection.
  settingFromCode_ = true;
  bar_->addTab(caption);
  settingFromCode_ = false;
  bar_->resize(width(), bar_->sizeHint().height());
  emit PageAreaChanged();
}

int TabControl::TabCount() const {
  return bar_->count();
}

void TabControl::SetCurrentTab(int n) {
  settingFromCode_ = true;
  bar_->setCurrentIndex(n - 1);
  settingFromCode_ = false;
}

int TabControl::CurrentTab() const {
  return bar_->currentIndex() + 1;
}

QRect TabControl::PageRect() const {
  const int top = bar_->height();
  constexpr int kInset = 4;  // keeps the containers inside the drawn frame
  return QRect(kInset, top + kInset, width() - 2 * kInset, height() - top - 2 * kInset)
      .translated(pos());
}

int TabControl::PageLeft() const {
  return PageRect().left() * TwipsPerPixelX(*this);
}

int TabControl::PageTop() const {
  return PageRect().top() * TwipsPerPixelY(*this);
}

int TabControl::PageWidth() const {
  return PageRect().width() * TwipsPerPixelX(*this);
}

int TabControl::PageHeight() const {
  return PageRect().height() * TwipsPerPixelY(*this);
}

void TabControl::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionTabWidgetFrame frame;
  frame.initFrom(this);
  frame.rect = QRect(0, bar_->height() - 1, width(), height() - bar_->height() + 1);
  frame.tabBarSize = bar_->size();
  frame.shape = QTabBar::RoundedNorth;
  painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

void TabControl::resizeEvent(QResizeEvent*) {
  bar_->resize(width(), bar_->sizeHint().height());
  emit PageAreaChanged();
}

void TabControl::moveEvent(QMoveEvent*) {
  emit PageAreaChanged();
}

}  // namespace hv
