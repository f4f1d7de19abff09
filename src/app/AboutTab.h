#pragma once

#include <QWidget>
#include <array>

#include "controls/PropertyBag.h"

class QCheckBox;
class QLabel;

namespace hv {

class AnyButton;
class KeepListEditor;
class UserInterface;

// Tab 5: the About text, the two settings, the keep lists and the web-site button.
class AboutTab : public QWidget {
  Q_OBJECT

 public:
  explicit AboutTab(UserInterface& ui, QWidget* parent = nullptr);

  QLabel* lblAbout;
  // 0: wipe files on cleanup; 1: warn before sensitive data is cleaned.
  std::array<QCheckBox*, 2> chkSettings;
  KeepListEditor* keepCookies;
  KeepListEditor* keepPaths;
  // The window's description of cmdWebsite, the one place its properties are kept.
  PropertyBag cmdWebsiteDescription;
  AnyButton* cmdWebsite;
};

}  // namespace hv
