// The common dialog class with scripted dialogs in place of Qt's (filter handling, the
// selection format, cancellation), and once with Qt's own file dialog driven offscreen.
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include "QtTestMain.h"
#include "TempFolder.h"
#include "dialogs/FileFilter.h"
#include "dialogs/GCommonDialog.h"

namespace {

using hv::FileDialogAnswer;
using hv::FileDialogArgs;
using hv::FileDialogRequest;
using hv::GCommonDialog;

const std::string kNul(1, '\0');

// A dialog that records the request and gives a fixed answer (nullopt: cancelled).
struct ScriptedFileDialog {
  std::optional<FileDialogAnswer> answer;
  std::vector<FileDialogRequest> requests;

  GCommonDialog Make() {
    return GCommonDialog({[this](const FileDialogRequest& request) {
                            requests.push_back(request);
                            return answer;
                          },
                          nullptr, nullptr});
  }
};

// The arguments of the File Protection tab's Browse buttons.
FileDialogArgs BrowseArgs(const std::string& filter) {
  FileDialogArgs args;
  args.FileMustExist = true;
  args.MultiSelect = true;
  args.HideReadOnly = true;
  args.Filter = filter;
  args.FilterIndex = 1;
  args.flags = hv::OpenFlag::kExplorer;
  return args;
}

QString Visible(std::string text) {
  std::replace(text.begin(), text.end(), '\0', '|');
  return QString::fromStdString(text);
}

}  // namespace

class GCommonDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Every '|' and ':' separates; the list ends with two NULs; a pair is looked up by its
  // position from 1.
  void filters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("converted");  // NULs shown as '|'
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("pair");
    const auto row = [](const char* name, QString filter, QString converted, int index,
                        QString pair) {
      QTest::newRow(name) << filter << converted << index << pair;
    };
    const QString two = "Text (*.txt)|*.txt|Encrypted (*.vlt)|*.vlt";
    row("one pair, blank kept", "All (*.*)| *.*", "All (*.*)| *.*||", 1, "All (*.*)| *.*");
    row("colon separates", "Text: plain|*.txt", "Text| plain|*.txt||", 1, "Text| plain");
    row("empty", "", "||", 1, "");
    row("first of two", two, two + "||", 1, "Text (*.txt)|*.txt");
    row("second", two, two + "||", 2, "Encrypted (*.vlt)|*.vlt");
    row("past the end", two, two + "||", 3, "");
    row("zero", two, two + "||", 0, "");
    row("negative", two, two + "||", -1, "");
    row("description without pattern", "Odd", "Odd||", 1, "Odd|");
    row("empty description", "|*.a|B|*.b", "|*.a|B|*.b||", 2, "B|*.b");
  }

  void filters() {
    QFETCH(QString, filter);
    QFETCH(QString, converted);
    QFETCH(int, index);
    QFETCH(QString, pair);
    const std::string list = hv::ConvertFilter(filter.toStdString());
    QCOMPARE(Visible(list), converted);
    QCOMPARE(Visible(hv::FilterPair(list, index)), pair);
  }

  void openRequestFollowsTheArguments() {
    ScriptedFileDialog dialog;
    dialog.answer = FileDialogAnswer{{"/data/a.txt"}, 1};
    GCommonDialog common = dialog.Make();
    FileDialogArgs args = BrowseArgs("Text (*.txt)|*.txt|All|*.*");
    args.FilterIndex = 2;
    args.InitDir = "/data";
    args.DlgTitle = "Pick";
    args.ReadOnly = true;
    args.flags |= hv::OpenFlag::kEnableHook | hv::OpenFlag::kEnableTemplate;
    QVERIFY(common.VBGetOpenFileName(args));
    QCOMPARE(dialog.requests.size(), std::size_t{1});
    const FileDialogRequest& request = dialog.requests[0];
    QVERIFY(!request.save);
    QVERIFY(request.multiSelect);
    QVERIFY(request.fileMustExist);
    QCOMPARE(request.filterIndex, 1);
    QCOMPARE(request.filters.size(), std::size_t{2});
    QCOMPARE(request.filters[1].first, std::string("All"));
    QCOMPARE(request.filters[1].second, std::string("*.*"));
    QCOMPARE(request.title, std::string("Pick"));
    QCOMPARE(request.initialFolder, std::string("/data"));
    // Hooks and templates are not offered; read-only comes back as asked.
    QCOMPARE(args.flags, hv::OpenFlag::kExplorer | hv::OpenFlag::kAllowMultiSelect |
                             hv::OpenFlag::kHideReadOnly | hv::OpenFlag::kFileMustExist |
                             hv::OpenFlag::kReadOnly);
    QVERIFY(args.ReadOnly);
    QCOMPARE(args.FilterIndex, 2L);
    QCOMPARE(Visible(args.Filter), QString("All|*.*"));
    QCOMPARE(common.APIReturn(), 1L);
    QCOMPARE(common.ExtendedError(), 0L);
  }

  void openSelection_data() {
    QTest::addColumn<bool>("multiSelect");
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<QString>("filename");  // NULs shown as '|'
    QTest::addColumn<QString>("fileTitle");
    const auto row = [](const char* name, bool multi, QStringList chosen, QString filename,
                        QString fileTitle) {
      QTest::newRow(name) << multi << chosen << filename << fileTitle;
    };
    row("one of many", true, {"/d/one.txt"}, "/d/one.txt", "kept");
    row("three", true, {"/d/a", "/d/b c", "/d/\xc3\xa9"}, "/d|a|b c|\xc3\xa9", "kept");
    row("three in the root", true, {"/a", "/b", "/c"}, "/|a|b|c", "kept");
    row("single select", false, {"/d/x.doc"}, "/d/x.doc", "x.doc");
  }

  void openSelection() {
    QFETCH(bool, multiSelect);
    QFETCH(QStringList, chosen);
    QFETCH(QString, filename);
    QFETCH(QString, fileTitle);
    ScriptedFileDialog dialog;
    dialog.answer = FileDialogAnswer{};
    for (const QString& file : chosen) {
      dialog.answer->files.push_back(file.toStdString());
    }
    GCommonDialog common = dialog.Make();
    FileDialogArgs args = BrowseArgs("All (*.*)| *.*");
    args.MultiSelect = multiSelect;
    args.FileTitle = "kept";
    QVERIFY(common.VBGetOpenFileName(args));
    QCOMPARE(Visible(args.Filename), filename);
    QCOMPARE(QString::fromStdString(args.FileTitle), fileTitle);
    QCOMPARE(Visible(args.Filter), QString("All (*.*)| *.*"));
  }

  void cancellationOutputs_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<long>("filterIndex");
    QTest::newRow("open") << false << -1L;
    QTest::newRow("save") << true << 0L;
  }

  void cancellationOutputs() {
    QFETCH(bool, save);
    QFETCH(long, filterIndex);
    ScriptedFileDialog dialog;
    GCommonDialog common = dialog.Make();
    FileDialogArgs args = BrowseArgs("All (*.*)| *.*");
    args.Filename = "start.txt";
    args.FileTitle = "start.txt";
    QVERIFY(!(save ? common.VBGetSaveFileName(args) : common.VBGetOpenFileName(args)));
    QCOMPARE(args.Filename, std::string());
    QCOMPARE(args.FileTitle, std::string());
    QCOMPARE(args.FilterIndex, filterIndex);
    QCOMPARE(args.Filter, std::string());
    QCOMPARE(args.flags, 0L);
    QCOMPARE(common.APIReturn(), 0L);
    QCOMPARE(common.ExtendedError(), 0L);
  }

  void saveAddsItsFlags() {
    ScriptedFileDialog dialog;
    dialog.answer = FileDialogAnswer{{"/d/out.txt"}, 0};
    GCommonDialog common = dialog.Make();
    FileDialogArgs args;
    args.OverWritePrompt = true;
    args.MultiSelect = true;  // not a Save option
    args.Filter = "Text|*.txt";
    QVERIFY(common.VBGetSaveFileName(args));
    QVERIFY(dialog.requests[0].save);
    QVERIFY(dialog.requests[0].overwritePrompt);
    QVERIFY(!dialog.requests[0].multiSelect);
    QCOMPARE(args.flags, hv::OpenFlag::kOverwritePrompt | hv::OpenFlag::kHideReadOnly);
    QCOMPARE(args.Filename, std::string("/d/out.txt"));
    QCOMPARE(args.FileTitle, std::string("out.txt"));
  }

  void fileTitle_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");
    const auto row = [](const char* name, QString file, QString title) {
      QTest::newRow(name) << file << title;
    };
    row("posix path", "/home/u/report.doc", "report.doc");
    row("windows path", "C:\\dir\\a.txt", "a.txt");
    row("bare name", "a.txt", "a.txt");
    row("folder", "/home/u/", "");
  }

  void fileTitle() {
    QFETCH(QString, file);
    QFETCH(QString, title);
    QCOMPARE(QString::fromStdString(GCommonDialog::VBGetFileTitle(file.toStdString())), title);
  }

  // The custom colours start as the system's and keep what the program set, through the
  // dialog too.
  void chooseColor() {
    std::optional<QColor> answer = QColor(0x10, 0x20, 0x30);
    QColor shown;
    GCommonDialog common({nullptr,
                          [&](const QColor& initial, QWidget*) {
                            shown = initial;
                            return answer;
                          },
                          nullptr});
    const QColor system0 = QApplication::palette().color(QPalette::Active, QPalette::Button);
    QCOMPARE(common.CustomColor(0),
             static_cast<long>(system0.red() | system0.green() << 8 | system0.blue() << 16));
    for (const int outside : {16, -1}) {
      common.SetCustomColor(outside, 0x111111);
      QCOMPARE(common.CustomColor(outside), -1L);
    }
    common.SetCustomColor(3, 0x0000FF);
    long color = 0x00FF00;
    QVERIFY(common.VBChooseColor(color));
    QCOMPARE(shown, QColor(0, 0xFF, 0));
    QCOMPARE(color, 0x302010L);
    QCOMPARE(common.CustomColor(3), 0x0000FFL);
    answer.reset();
    QVERIFY(!common.VBChooseColor(color));
    QCOMPARE(color, -1L);
  }

  void chooseFontKeepsTheLimits_data() {
    QTest::addColumn<double>("chosen");  // 0: cancelled
    QTest::addColumn<int>("minSize");
    QTest::addColumn<int>("maxSize");
    QTest::addColumn<double>("expected");
    QTest::newRow("no limits") << 30.0 << 0 << 0 << 30.0;
    QTest::newRow("too small") << 6.0 << 8 << 20 << 8.0;
    QTest::newRow("too large") << 30.0 << 8 << 20 << 20.0;
    QTest::newRow("inside") << 12.0 << 8 << 20 << 12.0;
    QTest::newRow("cancelled") << 0.0 << 8 << 20 << 10.0;
  }

  void chooseFontKeepsTheLimits() {
    QFETCH(double, chosen);
    QFETCH(int, minSize);
    QFETCH(int, maxSize);
    QFETCH(double, expected);
    GCommonDialog common({nullptr, nullptr, [&](const QFont& initial, QWidget*) {
                            std::optional<QFont> font;
                            if (chosen > 0) {
                              font = initial;
                              font->setPointSizeF(chosen);
                              font->setItalic(true);
                            }
                            return font;
                          }});
    QFont font("Sans", 10);
    QCOMPARE(common.VBChooseFont(font, nullptr, minSize, maxSize), chosen > 0);
    QCOMPARE(font.pointSizeF(), expected);
    QCOMPARE(font.italic(), chosen > 0);
  }

  // Qt's own dialog: the chosen files of one folder come back in the joined form; the
  // description is shown as given, and "*.*" becomes Qt's "*" so that files without a dot
  // are listed too.
  void qtFileDialogOffscreen() {
    const hv::test::TempFolder folder;
    folder.Write("plain", "1");
    folder.Write("b.txt", "2");
    GCommonDialog common;
    FileDialogArgs args = BrowseArgs("All (*.*)| *.*");
    args.InitDir = folder.Path().string();
    QString visibleFilter;
    QTimer driver;
    connect(&driver, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || !visibleFilter.isEmpty()) {
        return;
      }
      visibleFilter = dialog->selectedNameFilter() + " / " + dialog->nameFilters().join(";");
      dialog->findChild<QLineEdit*>("fileNameEdit")->setText("\"plain\" \"b.txt\"");
      static_cast<QDialog*>(dialog)->accept();  // runs the file dialog's own accept
    });
    driver.start(10);
    QVERIFY(common.VBGetOpenFileName(args));
    QCOMPARE(visibleFilter, QString("All (*.*) / All (*.*) (*)"));
    const std::string root = folder.Path().string();
    QCOMPARE(Visible(args.Filename), Visible(root + kNul + "plain" + kNul + "b.txt"));
  }
};

HV_QTEST_MAIN(GCommonDialogTest)
#include "GCommonDialogTest.moc"
