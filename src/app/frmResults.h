#pragma once

#include <QWidget>
#include <memory>

#include "dialogs/GCommonDialog.h"

class QLabel;
class QPushButton;
class QTreeView;

namespace hv {

class ReportModel;
class RunReport;

// What a run or preview removed, would remove, and left behind and why: a row per item,
// its entries below it, the totals under the list. The report can be saved as text.
class frmResults : public QWidget {
  Q_OBJECT

 public:
  frmResults(std::shared_ptr<const RunReport> report, bool preview, GCommonDialog dialogs,
             QWidget* parent = nullptr);
  ~frmResults() override;

  // Asks for a file and writes the report into it; false when cancelled or not written.
  bool SaveAsText();

  QTreeView* tvwResults;
  QLabel* lblTotals;
  QPushButton* cmdSaveText;
  QPushButton* cmdClose;

 private:
  QString Heading() const;

  std::shared_ptr<const RunReport> report_;
  bool preview_;
  GCommonDialog dialogs_;
  ReportModel* model_;
};

}  // namespace hv
