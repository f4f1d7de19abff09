// Preview, progress and the results view of the cleaner tabs, over a folder of files in
// the sandbox and a stand-in file action that reports what it removes.
#include <sys/stat.h>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "AppTests.h"
#include "PreviewCheck.h"
#include "WindowFixture.h"
#include "app/ReportModel.h"
#include "app/frmProgress.h"
#include "app/frmResults.h"
#include "clean/EntryTally.h"
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

  // The item row of the results view, with all its entries fetched.
  static QModelIndex ItemRow(QAbstractItemModel& model, int item) {
    const QModelIndex parent = model.index(item, 0);
    while (model.canFetchMore(parent)) {
      model.fetchMore(parent);
    }
    return parent;
  }

  // The entries of the item row of the results view, as (what, outcome) pairs.
  static std::vector<std::pair<std::string, std::string>> Entries(QAbstractItemModel& model,
                                                                  int item) {
    const QModelIndex parent = ItemRow(model, item);
    std::vector<std::pair<std::string, std::string>> rows;
    for (int row = 0; row < model.rowCount(parent); ++row) {
      rows.emplace_back(Cell(model, model.index(row, ReportModel::kWhat, parent)),
                        Cell(model, model.index(row, ReportModel::kOutcome, parent)));
    }
    return rows;
  }

  // The entries of the item row by what they are: their outcome and their size.
  static std::map<std::string, std::pair<std::string, std::string>> EntriesByName(
      QAbstractItemModel& model, int item) {
    const QModelIndex parent = ItemRow(model, item);
    std::map<std::string, std::pair<std::string, std::string>> rows;
    for (int row = 0; row < model.rowCount(parent); ++row) {
      rows[Cell(model, model.index(row, ReportModel::kWhat, parent))] = {
          Cell(model, model.index(row, ReportModel::kOutcome, parent)),
          Cell(model, model.index(row, ReportModel::kSize, parent))};
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

  // The program's own file item, loaded from the definition file, over a folder of the
  // sandbox: Preview shows each matching file with the blocks it takes on disk and removes
  // nothing; Clean Now! then removes exactly those files and shows them removed.
  void PreviewAndCleanWithTheProgramsFileItem() {
    folder_ = std::make_unique<TempFolder>();
    const std::map<std::string, size_t> matching = {
        {"cache/a.tmp", 100}, {"cache/sub/b.tmp", 9000}, {"cache/sub/deeper/c.tmp", 20000}};
    std::map<std::string, std::pair<std::string, std::string>> previewed;
    std::map<std::string, std::pair<std::string, std::string>> removed;
    uint64_t total = 0;
    for (const auto& [name, size] : matching) {
      const std::string path = folder_->Write(name, std::string(size, 'x')).string();
      struct stat info {};
      QCOMPARE(stat(path.c_str(), &info), 0);
      const uint64_t blocks = static_cast<uint64_t>(info.st_blocks) * 512;
      total += blocks;
      previewed[path] = {"Would be removed", DisplaySize(blocks)};
      removed[path] = {"Removed", DisplaySize(blocks)};
    }
    folder_->Write("cache/keep.dat", "kept: another mask");
    folder_->Write("cache/.hidden.tmp", "kept: hidden");
    auto fixture = std::make_unique<WindowFixture>();
    fixture->standardActions = true;
    fixture->WriteConfig("winclean.cln",
                         DefinitionsFor({"A1"}, (*folder_ / "cache/").string(), "*.tmp"));
    fixture->WriteConfig("windows.pick", PageWith({{"A1", true}}));
    fixture->Start();
    fixture->SelectTab(2);
    const auto before = SnapshotTree(folder_->Path());

    fixture->Find<QPushButton>("cmdWinSPreview")->click();
    QVERIFY(SnapshotTree(folder_->Path()) == before);
    QVERIFY(fixture->ui.messages.empty());
    auto* results = fixture->Find<frmResults>("frmResults");
    QVERIFY(results != nullptr && results->isVisible());
    QAbstractItemModel& preview = *results->tvwResults->model();
    QCOMPARE(preview.rowCount(), 1);
    QCOMPARE(Cell(preview, preview.index(0, ReportModel::kSize)), DisplaySize(total));
    QVERIFY(EntriesByName(preview, 0) == previewed);
    QCOMPARE(results->lblTotals->text().toStdString(), "Total: 3 files, " + DisplaySize(total));

    fixture->ui.AnswerMessage(MessageAnswer::kOk);
    fixture->Find<QPushButton>("cmdWinSClean")->click();
    QCOMPARE(fixture->ui.messages.back().text, std::string("Cleanup Complete!"));
    QCOMPARE(NamesIn(*folder_ / "cache"), (std::set<std::string>{".hidden.tmp", "keep.dat"}));
    results = fixture->Find<frmResults>("frmResults");
    QVERIFY(EntriesByName(*results->tvwResults->model(), 0) == removed);
    QCOMPARE(results->lblTotals->text().toStdString(), "Total: 3 files, " + DisplaySize(total));
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
