// The common dialog class with scripted dialogs in place of Qt's (filter handling, the
// selection format, cancellation), and once with Qt's own file dialog driven offscreen.
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include "QtTestMain.h"
#include "TempFolder.h"
#include "dialogs/FileFilter.h"
#include "dialogs/GCommonDialog.h"
#include "dialogs/LocalFileBytes.h"

namespace {

using hv::FileDialogAnswer;
using hv::FileDialogArgs;
using hv::FileDialogRequest;
using hv::GCommonDialog;

QString Visible(std::string text) {
  std::replace(text.begin(), text.end(), '\0', '|');
  return QString::fromStdString(text);
}

}  // namespace

class GCommonDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Every '|' and ':' separates; the list ends with two NULs; a pair is looked up by its
  // position from 1. NULs are shown as '|'.
  void filters() {
    const QString two = "Text (*.txt)|*.txt|Encrypted (*.vlt)|*.vlt", twoList = two + "||";
    const struct {
      QString filter, converted;
      int index;
      QString pair;
    } rows[] = {
        {"All (*.*)| *.*", "All (*.*)| *.*||", 1, "All (*.*)| *.*"},
        {"Text: plain|*.txt", "Text| plain|*.txt||", 1, "Text| plain"},
        {"", "||", 1, ""},
        {two, twoList, 2, "Encrypted (*.vlt)|*.vlt"},
        {two, twoList, 3, ""},
        {two, twoList, 0, ""},
    };
    for (const auto& row : rows) {
      const std::string list = hv::ConvertFilter(row.filter.toStdString());
      QCOMPARE(Visible(list), row.converted);
      QCOMPARE(Visible(hv::FilterPair(list, row.index)), row.pair);
    }
  }

  // Open and Save through a scripted dialog (no answer: cancelled). The filter index counts
  // from 1 for the caller and from 0 for the dialog; several files come back as the folder
  // and the names, one file as its full path with its name as the title when one was asked.
  void openAndSave() {
    const struct {
      bool save;
      std::optional<FileDialogAnswer> answer;
      QString filename, fileTitle;
      long filterIndex;
      QString filter;
    } rows[] = {
        {false, FileDialogAnswer{{"/d/a", "/d/b c", "/d/\xc3\xa9"}, 1}, "/d|a|b c|\xc3\xa9", "kept",
         2, "All|*.*"},
        {false, FileDialogAnswer{{"/a", "/b"}, 0}, "/|a|b", "kept", 1, "Text (*.txt)|*.txt"},
        {false, FileDialogAnswer{{"/d/one.txt"}, 1}, "/d/one.txt", "kept", 2, "All|*.*"},
        {true, FileDialogAnswer{{"/d/out.txt"}, 0}, "/d/out.txt", "out.txt", 1,
         "Text (*.txt)|*.txt"},
        {false, std::nullopt, "", "", -1, ""},
        {true, std::nullopt, "", "", 0, ""},
    };
    for (const auto& row : rows) {
      std::vector<FileDialogRequest> requests;
      GCommonDialog common({[&](const FileDialogRequest& request) {
                              requests.push_back(request);
                              return row.answer;
                            },
                            nullptr, nullptr});
      FileDialogArgs args;
      args.Filter = "Text (*.txt)|*.txt|All|*.*";
      args.FilterIndex = 2;
      args.MultiSelect = true;  // not a Save option
      args.Filename = args.FileTitle = "kept";
      args.flags = hv::OpenFlag::kExplorer;
      QCOMPARE(row.save ? common.VBGetSaveFileName(args) : common.VBGetOpenFileName(args),
               row.answer.has_value());
      QCOMPARE(requests.size(), std::size_t{1});
      QCOMPARE(requests[0].save, row.save);
      QCOMPARE(requests[0].multiSelect, !row.save);
      QCOMPARE(requests[0].filterIndex, 1);
      QCOMPARE(requests[0].filters, (std::vector<std::pair<std::string, std::string>>{
                                        {"Text (*.txt)", "*.txt"}, {"All", "*.*"}}));
      QCOMPARE(Visible(args.Filename), row.filename);
      QCOMPARE(QString::fromStdString(args.FileTitle), row.fileTitle);
      QCOMPARE(args.FilterIndex, row.filterIndex);
      QCOMPARE(Visible(args.Filter), row.filter);
      QCOMPARE(args.flags == 0, !row.answer);
      QCOMPARE(common.APIReturn(), row.answer ? 1L : 0L);
    }
  }

  void fileTitle() {
    for (const auto& [file, title] : {std::pair{"/home/u/report.doc", "report.doc"},
                                      {"C:\\dir\\a.txt", "a.txt"},
                                      {"/home/u/", ""}}) {
      QCOMPARE(GCommonDialog::VBGetFileTitle(file), std::string(title));
    }
  }

  // The custom colours keep what the program set, through the dialog too.
  void chooseColor() {
    std::optional<QColor> answer = QColor(0x10, 0x20, 0x30);
    QColor shown;
    GCommonDialog common({nullptr,
                          [&](const QColor& initial, QWidget*) {
                            shown = initial;
                            return answer;
                          },
                          nullptr});
    common.SetCustomColor(16, 0x111111);
    QCOMPARE(common.CustomColor(16), -1L);
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

  // The chosen size kept within the limits; nothing changes when cancelled (0).
  void chooseFontKeepsTheLimits() {
    const struct { int chosen, expected; } rows[] = {{6, 8}, {30, 20}, {0, 10}};
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
      QCOMPARE(common.VBChooseFont(font, nullptr, 8, 20), row.chosen > 0);
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
    FileDialogArgs args;
    args.MultiSelect = true;
    args.Filter = "All (*.*)| *.*";
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
    QCOMPARE(Visible(args.Filename), Visible(args.InitDir + "|plain|b.txt"));
  }

  // A dialog's answer keeps a name's bytes when they are no UTF-8 text: Qt's text of such
  // a name holds replacement characters, its URL the bytes themselves.
  void chosenFilesKeepTheirBytes() {
    const std::pair<const char*, std::string> rows[] = {
        {"file:///d/caf%E9.txt", "/d/caf\xe9.txt"},
        {"file:///d%FF/a%20b.txt", "/d\xff/a b.txt"},
        {"file:///d/caf%C3%A9.txt", "/d/caf\xc3\xa9.txt"},
        {"file:///d/%EF%BF%BD", "/d/\xef\xbf\xbd"},
    };
    for (const auto& [url, bytes] : rows) {
      QCOMPARE(QByteArray::fromStdString(hv::LocalFileBytes(QUrl::fromEncoded(url))),
               QByteArray::fromStdString(bytes));
    }
  }
};

HV_QTEST_MAIN(GCommonDialogTest)
#include "GCommonDialogTest.moc"
