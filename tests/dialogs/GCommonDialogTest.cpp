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
  void filters() {
    const QString two = "Text (*.txt)|*.txt|Encrypted (*.vlt)|*.vlt", twoList = two + "||";
    // The filter, its converted list and a pair of it (NULs shown as '|').
    const struct {
      QString filter, converted;
      int index;
      QString pair;
    } rows[] = {
        {"All (*.*)| *.*", "All (*.*)| *.*||", 1, "All (*.*)| *.*"},  // the blank kept
        {"Text: plain|*.txt", "Text| plain|*.txt||", 1, "Text| plain"},
        {"", "||", 1, ""},
        {two, twoList, 1, "Text (*.txt)|*.txt"},
        {two, twoList, 2, "Encrypted (*.vlt)|*.vlt"},
        {two, twoList, 3, ""},
        {two, twoList, 0, ""},
        {two, twoList, -1, ""},
        {"Odd", "Odd||", 1, "Odd|"},  // a description without pattern
        {"|*.a|B|*.b", "|*.a|B|*.b||", 2, "B|*.b"},
    };
    for (const auto& row : rows) {
      const std::string list = hv::ConvertFilter(row.filter.toStdString());
      QCOMPARE(Visible(list), row.converted);
      QCOMPARE(Visible(hv::FilterPair(list, row.index)), row.pair);
    }
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
    QVERIFY(!request.save && request.multiSelect && request.fileMustExist);
    QCOMPARE(request.filterIndex, 1);
    QCOMPARE(request.filters, (std::vector<std::pair<std::string, std::string>>{
                                  {"Text (*.txt)", "*.txt"}, {"All", "*.*"}}));
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

  // Several files of one folder come back as the folder and the names, NUL-separated; one
  // file as its full path, with its name as the title only when one was asked for.
  void openSelection() {
    const struct {
      bool multiSelect;
      std::vector<std::string> chosen;
      QString filename, fileTitle;
    } rows[] = {
        {true, {"/d/one.txt"}, "/d/one.txt", "kept"},
        {true, {"/d/a", "/d/b c", "/d/\xc3\xa9"}, "/d|a|b c|\xc3\xa9", "kept"},
        {true, {"/a", "/b", "/c"}, "/|a|b|c", "kept"},
        {false, {"/d/x.doc"}, "/d/x.doc", "x.doc"},
    };
    for (const auto& row : rows) {
      ScriptedFileDialog dialog;
      dialog.answer = FileDialogAnswer{row.chosen, 0};
      GCommonDialog common = dialog.Make();
      FileDialogArgs args = BrowseArgs("All (*.*)| *.*");
      args.MultiSelect = row.multiSelect;
      args.FileTitle = "kept";
      QVERIFY(common.VBGetOpenFileName(args));
      QCOMPARE(Visible(args.Filename), row.filename);
      QCOMPARE(QString::fromStdString(args.FileTitle), row.fileTitle);
      QCOMPARE(Visible(args.Filter), QString("All (*.*)| *.*"));
    }
  }

  void cancellationOutputs() {
    for (const bool save : {false, true}) {
      ScriptedFileDialog dialog;
      GCommonDialog common = dialog.Make();
      FileDialogArgs args = BrowseArgs("All (*.*)| *.*");
      args.Filename = "start.txt";
      args.FileTitle = "start.txt";
      QVERIFY(!(save ? common.VBGetSaveFileName(args) : common.VBGetOpenFileName(args)));
      QCOMPARE(args.Filename, std::string());
      QCOMPARE(args.FileTitle, std::string());
      QCOMPARE(args.FilterIndex, save ? 0L : -1L);
      QCOMPARE(args.Filter, std::string());
      QCOMPARE(args.flags, 0L);
      QCOMPARE(common.APIReturn(), 0L);
      QCOMPARE(common.ExtendedError(), 0L);
    }
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
    const FileDialogRequest& request = dialog.requests[0];
    QVERIFY(request.save && request.overwritePrompt && !request.multiSelect);
    QCOMPARE(args.flags, hv::OpenFlag::kOverwritePrompt | hv::OpenFlag::kHideReadOnly);
    QCOMPARE(args.Filename, std::string("/d/out.txt"));
    QCOMPARE(args.FileTitle, std::string("out.txt"));
  }

  void fileTitle() {
    for (const auto& [file, title] : {std::pair{"/home/u/report.doc", "report.doc"},
                                      {"C:\\dir\\a.txt", "a.txt"},
                                      {"a.txt", "a.txt"},
                                      {"/home/u/", ""}}) {
      QCOMPARE(GCommonDialog::VBGetFileTitle(file), std::string(title));
    }
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

  // The chosen size kept within the limits (0: none); nothing changes when cancelled.
  void chooseFontKeepsTheLimits() {
    const struct {
      int chosen;  // 0: cancelled
      int minSize, maxSize, expected;
    } rows[] = {{30, 0, 0, 30}, {6, 8, 20, 8}, {30, 8, 20, 20}, {12, 8, 20, 12}, {0, 8, 20, 10}};
    for (const auto& row : rows) {
      GCommonDialog common({nullptr, nullptr, [&](const QFont& initial, QWidget*) {
                              std::optional<QFont> font;
                              if (row.chosen > 0) {
                                font = initial;
                                font->setPointSize(row.chosen);
                                font->setItalic(true);
                              }
                              return font;
                            }});
      QFont font("Sans", 10);
      QCOMPARE(common.VBChooseFont(font, nullptr, row.minSize, row.maxSize), row.chosen > 0);
      QCOMPARE(font.pointSizeF(), double(row.expected));
      QCOMPARE(font.italic(), row.chosen > 0);
    }
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
