#pragma once

#include <QWidget>

class QComboBox;
class QPushButton;
class QWebEngineProfile;

namespace hv {

class SelectionPage;

// The names one cleaner's tab gives its controls.
struct CleanerTabNames {
  const char* title;
  const char* page;
  const char* selectAll;
  const char* selectNone;
  const char* presetList;
  const char* savePreset;
  const char* deletePreset;
  const char* preview;
  const char* clean;
};

extern const CleanerTabNames kWindowsTabNames;
extern const CleanerTabNames kWebTabNames;

// Tabs 2 and 3: one cleaner's selection page with its check-box, preset and clean
// commands.
class CleanerTab : public QWidget {
  Q_OBJECT

 public:
  CleanerTab(const CleanerTabNames& names, QWebEngineProfile& profile, QWidget* parent = nullptr);

  SelectionPage* page;
  QPushButton* selectAll;
  QPushButton* selectNone;
  QComboBox* presetList;
  QPushButton* savePreset;
  QPushButton* deletePreset;
  QPushButton* preview;
  QPushButton* clean;
};

}  // namespace hv
