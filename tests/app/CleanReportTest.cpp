// Preview, progress and the results view of the cleaner tabs, over a folder of files in
// the sandbox and a stand-in file action that reports what it removes.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <filesystem>
#include <memory>
#include <sstream>

#include "AppTests.h"
#include "WindowFixture.h"
#include "app/ReportModel.h"
#include "app/frmProgress.h"
#include "app/frmResults.h"
#include "clean/RunReport.h"

namespace hv::test {
namespace {

constexpr const char* kPage = "lstWindows";

std::string Cell(const QAbstractItemModel& model, const QModelIndex& index) {
  return model.data(index).toString().toStdString();
}

QWidget* TopLevel(const char* name) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == name && widget->isVisible()) {
      return widget;
    }
  }
  return nullptr;
}

class CleanReportTest : public QObject {
  Q_OBJECT

  // A window over one checked item A1 on folder_ with mask, files f0.. of 100 bytes.
  std::unique_ptr<WindowFixture> Window(int files, const std::string& mask,
                                        const std::string& definitions = "") {
    folder_ = std::make_unique<TempFolder>();
    for (int i = 0; i < files; ++i) {
      folder_->Write("f" + std::to_string(1000 + i), std::string(100, 'x'));
    }
    auto fixture = std::make_unique<WindowFixture>();
    fixture->WriteConfig("winclean.cln",
                         definitions.empty()
                             ? DefinitionsFor({"A1"}, folder_->Path().string() + "/", mask)
                             : definitions);
    fixture->WriteConfig("windows.pick", PageWith({{"A1", true}, {"A2", true}}));
    fixture->Start();
    fixture->SelectTab(2);
    return fixture;
  }

  // The entries of the item row of the results view, as (what, outcome) pairs.
  static std::vector<std::pair<std::string, std::string>> Entries(QAbstractItemModel& model,
                                                                  int item) {
    const QModelIndex parent = model.index(item, 0);
    while (model.canFetchMore(parent)) {
      model.fetchMore(parent);
    }
    std::vector<std::pair<std::string, std::string>> rows;
    for (int row = 0; row < model.rowCount(parent); ++row) {
      rows.emplace_back(Cell(model, model.index(row, ReportModel::kWhat, parent)),
                        Cell(model, model.index(row, ReportModel::kOutcome, parent)));
    }
    return rows;
  }

  std::string FileOf(int i) const { return (*folder_ / ("f" + std::to_string(1000 + i))).string(); }

  std::unique_ptr<TempFolder> folder_;

 private slots:
  void init() { ClearProgramRegistry(); }

  // Preview asks nothing, removes nothing, and lists what Clean Now! then removes: the
  // same entries, in the same order.
  void PreviewListsWhatCleanThenRemoves() {
    auto fixture = Window(3, "*");
    fixture->Find<QPushButton>("cmdWinSPreview")->click();
    QCOMPARE(NamesIn(folder_->Path()).size(), size_t(3));
    QVERIFY(fixture->ui.messages.empty());
    auto* results = fixture->Find<frmResults>("frmResults");
    QVERIFY(results != nullptr && results->isVisible());
    QCOMPARE(results->windowTitle(), QString("Hushvault - Preview"));
    QAbstractItemModel& preview = *results->tvwResults->model();
    QCOMPARE(preview.rowCount(), 1);
    QCOMPARE(Cell(preview, preview.index(0, ReportModel::kOutcome)),
             std::string("3 files, 300 bytes"));
    QCOMPARE(Entries(preview, 0),
             (std::vector<std::pair<std::string, std::string>>{{FileOf(0), "Would be removed"},
                                                               {FileOf(1), "Would be removed"},
                                                               {FileOf(2), "Would be removed"}}));
    QCOMPARE(results->lblTotals->text(), QString("Total: 3 files, 300 bytes"));

    fixture->ui.AnswerMessage(MessageAnswer::kOk);
    fixture->Find<QPushButton>("cmdWinSClean")->click();
    QVERIFY(NamesIn(folder_->Path()).empty());
    QCOMPARE(fixture->ui.messages.back().text, std::string("Cleanup Complete!"));
    results = fixture->Find<frmResults>("frmResults");
    QCOMPARE(results->windowTitle(), QString("Hushvault - Cleanup Report"));
    QCOMPARE(Entries(*results->tvwResults->model(), 0),
             (std::vector<std::pair<std::string, std::string>>{
                 {FileOf(0), "Removed"}, {FileOf(1), "Removed"}, {FileOf(2), "Removed"}}));
    QVERIFY(fixture->Window().isEnabled());
  }

  // The item whose action fails is named, with its error, in the closing message and
  // in the results view with a warning.
  void ClosingMessageNamesTheFailedItem() {
    auto fixture = Window(1, "throw");
    fixture->ui.AnswerMessage(MessageAnswer::kOk);
    fixture->Find<QPushButton>("cmdWinSClean")->click();
    QCOMPARE(fixture->ui.messages.back().text,
             std::string("Cleanup Complete!\r\n\r\nSome items could not be cleaned completely:\r\n"
                         "clean A1: the folder could not be read"));
    const QAbstractItemModel& model = *fixture->Find<frmResults>("frmResults")->tvwResults->model();
    QCOMPARE(Cell(model, model.index(0, ReportModel::kReason)),
             std::string("the folder could not be read"));
    QVERIFY(!model.data(model.index(0, 0), Qt::DecorationRole).isNull());
  }

  // Cancel in the progress window stops the long item at an entry boundary: what was
  // done is reported, the rest stays, nothing more is asked and the window is usable.
  void CancelStopsALongRun() {
    auto fixture = Window(40, "hold");
    bool cancelled = false;
    QTimer::singleShot(0, [&] {
      auto* progress = TopLevel("frmProgress");
      QVERIFY(progress != nullptr);
      QTRY_COMPARE(progress->findChild<QLabel*>("lblCounts")->text(),
                   QString("5 entries, 500 bytes so far"));
      QCOMPARE(progress->findChild<QLabel*>("lblItem")->text(), QString("clean A1"));
      progress->findChild<QPushButton*>("cmdCancel")->click();
      cancelled = true;
    });
    fixture->Find<QPushButton>("cmdWinSClean")->click();
    QVERIFY(cancelled);
    QCOMPARE(NamesIn(folder_->Path()).size(), size_t(40 - kHeldAfter));
    QVERIFY(fixture->ui.messages.empty());
    QVERIFY(TopLevel("frmProgress") == nullptr);
    QCOMPARE(fixture->cleaned, std::vector<std::string>{"A1"});
    QVERIFY(fixture->Window().isEnabled());
    QCOMPARE(fixture->Find<frmResults>("frmResults")->lblTotals->text(),
             QString("Total: 5 files, 500 bytes"));
  }

  // A million entries: the view gets them a chunk at a time, as it scrolls.
  void AMillionEntriesAreFetchedAsTheViewScrolls() {
    constexpr size_t kEntries = 1'000'000;
    auto report = std::make_shared<RunReport>(kEntries);
    CleanItem item;
    item.Caption = "Many files";
    report->BeginItem(item);
    for (size_t i = 0; i < kEntries; ++i) {
      report->Add({EntryType::kFile, "/f", 4096, EntryOutcome::kWouldBeRemoved, ""});
    }
    frmResults results(report, true, GCommonDialog());
    results.show();
    QTreeView& view = *results.tvwResults;
    const QModelIndex parent = view.model()->index(0, 0);
    view.expand(parent);
    QCoreApplication::processEvents();
    const int opened = view.model()->rowCount(parent);
    QVERIFY(opened >= int(ReportModel::kFetchChunk) && opened < int(kEntries));
    view.scrollToBottom();
    QCoreApplication::processEvents();
    QVERIFY(view.model()->rowCount(parent) > opened);
    QCOMPARE(results.lblTotals->text(), QString("Total: 1,000,000 files, 4.1 GB"));
  }

  void SaveAsTextWritesTheWholeReport() {
    auto report = std::make_shared<RunReport>();
    CleanItem item;
    item.Caption = "Temp files";
    report->BeginItem(item);
    report->Add({EntryType::kFile, "/t/a", 2000, EntryOutcome::kRemoved, ""});
    report->Add({EntryType::kFile, "/t/b", std::nullopt, EntryOutcome::kLeft,
                 LeftReason::kPermissionDenied});
    const TempFolder target;
    const std::string path = (target / "report.txt").string();
    GCommonDialog::Dialogs dialogs;
    std::vector<FileDialogRequest> asked;
    dialogs.file = [&](const FileDialogRequest& request) {
      asked.push_back(request);
      return std::optional<FileDialogAnswer>({{path}, 0});
    };
    frmResults results(report, false, GCommonDialog(dialogs));
    results.cmdSaveText->click();
    QCOMPARE(asked.size(), size_t(1));
    QVERIFY(asked[0].save && asked[0].overwritePrompt);
    std::ostringstream expected;
    report->WriteText(expected, "Clean Now! removed the following:");
    QCOMPARE(ReadFile(path), expected.str());

    dialogs.file = [](const FileDialogRequest&) { return std::optional<FileDialogAnswer>(); };
    frmResults cancelled(report, false, GCommonDialog(dialogs));
    QVERIFY(!cancelled.SaveAsText());
  }
};

}  // namespace

QObject* MakeCleanReportTest() {
  return new CleanReportTest;
}

}  // namespace hv::test

#include "CleanReportTest.moc"
