#pragma once

#include <QWidget>

class QComboBox;
class QPushButton;

namespace hv {

// Tab 1: the preset choice and "Clean Now!" of both cleaners, and the small commands.
class HomeTab : public QWidget {
  Q_OBJECT

 public:
  explicit HomeTab(QWidget* parent = nullptr);

  QComboBox* cboWindows;
  QPushButton* cmdWindowsClean;
  QComboBox* cboWeb;
  QPushButton* cmdWebClean;
  QPushButton* cmdClearClipboard;
  QPushButton* cmdSettings;
  QPushButton* cmdQuit;
};

}  // namespace hv
