#pragma once

#include <QWidget>
#include <array>

#include "controls/PropertyBag.h"

class QCheckBox;
class QLabel;

namespace hv {

class AnyButton;

// Tab 5: the About text, the two settings and the web-site button.
class AboutTab : public QWidget {
  Q_OBJECT

 public:
  explicit AboutTab(QWidget* parent = nullptr);

  QLabel* lblAbout;
  // 0: wipe files on cleanup; 1: warn before sensitive data is cleaned.
  std::array<QCheckBox*, 2> chkSettings;
  // The window's description of cmdWebsite, the one place its properties are kept.
  PropertyBag cmdWebsiteDescription;
  AnyButton* cmdWebsite;
};

}  // namespace hv
