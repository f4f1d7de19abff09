#pragma once

#include <QWidget>
#include <array>

class QCheckBox;
class QLabel;
class QPushButton;

namespace hv {

// Tab 5: the About text, the two settings and the web-site button.
class AboutTab : public QWidget {
  Q_OBJECT

 public:
  explicit AboutTab(QWidget* parent = nullptr);

  QLabel* lblAbout;
  // 0: wipe files on cleanup; 1: warn before sensitive data is cleaned.
  std::array<QCheckBox*, 2> chkSettings;
  QPushButton* cmdWebsite;
};

}  // namespace hv
