#pragma once

#include <QWidget>

class QTabBar;

namespace hv {

// The tab strip: a row of tabs over a framed page area. It only draws the strip and the
// frame; the window places its own page containers over the page area.
class TabControl : public QWidget {
  Q_OBJECT

 public:
  explicit TabControl(QWidget* parent = nullptr);

  void AddTab(const QString& caption);
  int TabCount() const;

  // Makes tab n (1-based) the current one without raising TabSelected.
  void SetCurrentTab(int n);
  int CurrentTab() const;

  // The page area below the tabs, in twips, relative to the parent widget.
  int PageLeft() const;
  int PageTop() const;
  int PageWidth() const;
  int PageHeight() const;

  // The strip's own tab bar, for tests that click a tab as the user would.
  QTabBar* Bar() const { return bar_; }

 signals:
  // The user selected tab n (1-based).
  void TabSelected(int n);
  // The page area moved or changed size.
  void PageAreaChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  QRect PageRect() const;

  QTabBar* bar_;
  bool settingFromCode_ = false;
};

}  // namespace hv
