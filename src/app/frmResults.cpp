#include "app/frmResults.h"

#include <algorithm>

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTreeView>
#include <QVBoxLayout>
#include <sstream>

#include "app/ReportModel.h"
#include "clean/RunReport.h"

namespace hv {

frmResults::frmResults(std::shared_ptr<const RunReport> report, bool preview, GCommonDialog dialogs,
                       QWidget* parent)
    : QWidget(parent, Qt::Window),
      tvwResults(new QTreeView(this)),
      lblTotals(new QLabel(this)),
      cmdSaveText(new QPushButton("Save as Text...", this)),
      cmdClose(new QPushButton("Close", this)),
      report_(std::move(report)),
      preview_(preview),
      dialogs_(std::move(dialogs)),
      model_(new ReportModel(*report_, this)) {
  setObjectName("frmResults");
  setWindowTitle(preview ? "Hushvault - Preview" : "Hushvault - Cleanup Report");
  tvwResults->setObjectName("tvwResults");
  lblTotals->setObjectName("lblTotals");
  cmdSaveText->setObjectName("cmdSaveText");
  cmdClose->setObjectName("cmdClose");

  auto* heading = new QLabel(Heading(), this);
  QFont large = heading->font();
  large.setBold(true);
  large.setPointSizeF(large.pointSizeF() * 1.2);
  heading->setFont(large);

  // Every row is one line high, which lets the view place a million rows without
  // measuring them.
  tvwResults->setUniformRowHeights(true);
  tvwResults->setAlternatingRowColors(true);
  tvwResults->setRootIsDecorated(true);
  tvwResults->setTextElideMode(Qt::ElideMiddle);  // keeps the file name of a long path
  tvwResults->setModel(model_);
  QHeaderView* header = tvwResults->header();
  header->setStretchLastSection(true);
  // Wide enough for the items' captions (only they are shown at first), within reason.
  int captionWidth = 0;
  for (int row = 0; row < model_->rowCount(); ++row) {
    const QModelIndex caption = model_->index(row, ReportModel::kWhat);
    QFont font = tvwResults->font();
    font.setBold(true);
    captionWidth = std::max(captionWidth,
                            QFontMetrics(font).horizontalAdvance(model_->data(caption).toString()));
  }
  header->resizeSection(ReportModel::kWhat, std::clamp(captionWidth + 40, 300, 480));
  header->resizeSection(ReportModel::kOutcome, 180);
  header->resizeSection(ReportModel::kSize, 80);

  lblTotals->setTextFormat(Qt::PlainText);
  lblTotals->setWordWrap(true);
  lblTotals->setText(QString::fromStdString("Total: " + TallyLine(report_->Totals())));
  QFont bold = lblTotals->font();
  bold.setBold(true);
  lblTotals->setFont(bold);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 14, 14, 14);
  layout->setSpacing(8);
  layout->addWidget(heading);
  layout->addWidget(tvwResults, 1);
  layout->addWidget(lblTotals);
  if (const uint64_t hidden = report_->HiddenEntries(); hidden > 0) {
    auto* note =
        new QLabel(QString::fromStdString("The list leaves out " + GroupedNumber(hidden) +
                                          " entries to save memory; the counts include them."),
                   this);
    note->setObjectName("lblHidden");
    layout->addWidget(note);
  }
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdSaveText);
  buttons->addStretch(1);
  buttons->addWidget(cmdClose);
  layout->addLayout(buttons);

  connect(cmdSaveText, &QPushButton::clicked, this, [this] { SaveAsText(); });
  connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
  cmdClose->setDefault(true);
  resize(860, 500);
}

frmResults::~frmResults() = default;

QString frmResults::Heading() const {
  return preview_ ? "Clean Now! would remove the following:" : "Clean Now! removed the following:";
}

bool frmResults::SaveAsText() {
  FileDialogArgs args;
  args.Filename = "Hushvault report.txt";
  args.Filter = "Text Files (*.txt)|*.txt|All (*.*)|*.*";
  args.DefaultExt = "txt";
  args.OverWritePrompt = true;
  args.DlgTitle = "Save as Text";
  args.Owner = this;
  if (!dialogs_.VBGetSaveFileName(args)) {
    return false;
  }
  std::ostringstream text;
  report_->WriteText(text, Heading().toStdString());
  const std::string bytes = text.str();
  // Written beside the target and moved into place, so a failed save keeps the old file.
  QSaveFile file(QString::fromStdString(args.Filename));
  if (file.open(QIODevice::WriteOnly) &&
      file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
          static_cast<qint64>(bytes.size()) &&
      file.commit()) {
    return true;
  }
  QMessageBox::warning(this, "Hushvault", "The report could not be saved:\n" + file.errorString());
  return false;
}

}  // namespace hv
