#pragma once

#include <QTimer>
#include <QWidget>

#include "app/ProgressFeed.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace hv {

// The small window that follows a long piece of work: what is at work, how far it got, and
// Cancel, which asks the work to stop where it can. It is a window of its own so that it
// stays usable while the main window is disabled.
class frmProgress : public QWidget {
  Q_OBJECT

 public:
  frmProgress(ProgressFeed feed, QWidget* over);

  QPushButton* cmdCancel;

 private:
  void Refresh();

  ProgressFeed feed_;
  QLabel* lblItem_;
  QLabel* lblCounts_;
  QProgressBar* barDone_;
  QTimer timer_;
};

}  // namespace hv
