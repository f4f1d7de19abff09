#pragma once

#include <QWidget>
#include <array>

class QTabBar;

namespace hv {

// The main window: a tab strip over five page containers, one shown at a time.
class frmMain : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kTabCount = 5;

  explicit frmMain(QWidget* parent = nullptr);

  // Shows tab n (1-based) and its container.
  void ShowTab(int n);

 private:
  void AddTabs();

  QTabBar* tabMain_;
  std::array<QWidget*, kTabCount> cntTab_{};
};

}  // namespace hv
