#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace hv {

class RunReport;

// The small window that follows a run while it works: the item at work, the entries and
// bytes so far, and Cancel, which asks the run to stop after its current entry. It is a
// window of its own so that it stays usable while the main window is disabled.
class frmProgress : public QWidget {
  Q_OBJECT

 public:
  frmProgress(RunReport& report, bool preview, QWidget* over);

  QPushButton* cmdCancel;

 private:
  void Refresh();

  RunReport& report_;
  QLabel* lblItem_;
  QLabel* lblCounts_;
  QProgressBar* barBusy_;
  QTimer timer_;
};

}  // namespace hv
