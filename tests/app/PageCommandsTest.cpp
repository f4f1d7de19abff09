// Check boxes, the key lookup, the clean commands, the shipped pages and the window's looks.
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QtTest>

#include "AppTests.h"
#include "WindowFixture.h"
#include "app/MessageStyles.h"
#include "app/SelectionPage.h"
#include "app/WebSelectionDocument.h"
#include "ports/UserInterface.h"

namespace hv::test {
namespace {

// Inputs of every sort around three boxes; the second box is written in capitals and
// carries its key only as a name.
const char* const kMixedPage = R"html(<!DOCTYPE html><html><body data-clicks="">
<input type="radio" id="R1" checked>
<input type="checkbox" id="M1" onclick="document.body.dataset.clicks += this.id + ' '">
<input type="text" id="T1" value="x">
<input type="CHECKBOX" name="M2" checked onclick="document.body.dataset.clicks += this.name + ' '">
<input type="radio" id="R2">
<input type="checkbox" id="M3" onclick="document.body.dataset.clicks += this.id + ' '">
<input type="checkbox" id="Twice" checked><input type="checkbox" name="Twice" checked>
</body></html>)html";

void ExpectCleanCompleted(WindowFixture& fixture) {
  QCOMPARE(fixture.ui.messages.back().text, std::string("Cleanup Complete!"));
}

class PageCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearProgramRegistry(); }

  void SelectAllAndNoneClickOnlyWhatDiffers() {
    WindowFixture fixture;
    fixture.Start();
    fixture.SelectTab(2);
    fixture.Find<QPushButton>("cmdAppSel")->click();
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({true, true, true}));
    QCOMPARE(fixture.Clicks("lstWindows"), QStringList({"A2"}));
    fixture.Find<QPushButton>("cmdAppSel")->click();  // all checked: no click
    fixture.Find<QPushButton>("cmdAppClear")->click();
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, false, false}));
    QCOMPARE(fixture.Clicks("lstWindows"), QStringList({"A2", "A1", "A2", "A3"}));

    // The Web tab's buttons work on the Web page only.
    fixture.Find<QPushButton>("cmdWebClear")->click();
    QCOMPARE(fixture.States("lstWeb"), std::vector<bool>({false, false}));
    fixture.Find<QPushButton>("cmdWebSel")->click();
    QCOMPARE(fixture.States("lstWeb"), std::vector<bool>({true, true}));
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, false, false}));
  }

  void OnlyCheckboxInputsTakePositionsAndKeysFindAnyElement() {
    WindowFixture fixture;
    fixture.WriteConfig("windows.pick", kMixedPage);
    fixture.Start();
    // M1, M2 (written "CHECKBOX"), M3 and the two "Twice" boxes; radios and text skipped.
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, true, false, true, true}));
    WebSelectionDocument document(*fixture.Find<SelectionPage>("lstWindows")->page());
    const std::pair<std::string, bool> cases[] = {
        {"M1", false},           // by id, unchecked
        {"M2", true},            // by name attribute only
        {"R1", true},            // any element with a checked state counts as the key's
        {"Twice", false},        // two elements share the key: a collection, not checked
        {"Missing", false},      // no element
        {"M1\"); x(\"", false},  // quotes in a key stay inside the key
        {"\xff\xfe", false},     // bytes that are no text
    };
    for (const auto& [key, checked] : cases) {
      QVERIFY2(document.IsCheckedByKey(key) == checked, key.c_str());
    }

    fixture.Find<QPushButton>("cmdAppSel")->click();
    QCOMPARE(fixture.Clicks("lstWindows"), QStringList({"M1", "M3"}));
    QVERIFY(
        fixture.Evaluate("lstWindows", "return document.getElementById('R1').checked;").toBool());

    // A preset's positions skip the other inputs as well.
    fixture.ui.AnswerInput("Mixed");
    fixture.Find<QPushButton>("cmdSaveWin")->click();
    const Variant stored = ReadValue("Presets\\Windows", "Mixed");
    QCOMPARE(std::get<ByteArray>(stored), ByteArray({1, 1, 1, 1, 1, 0}));
  }

  void TabSwitchReloadsThePage() {
    WritePresetBytes("Windows", "Saved", {0, 1, 0});
    WindowFixture fixture;
    fixture.Start();
    fixture.SelectTab(2);
    fixture.ClickBox("lstWindows", 0);
    fixture.ClickBox("lstWindows", 2);
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({true, true, true}));
    fixture.SelectTab(3);
    fixture.SelectTab(2);
    // Unsaved changes are gone: the page shows the preset of the detail list.
    QCOMPARE(fixture.Find<QComboBox>("cboWinPreset")->currentText(), QString("Saved"));
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, true, false}));
    // Without presets the page file's own states come back.
    fixture.ClickBox("lstWeb", 1);
    fixture.SelectTab(1);
    QCOMPARE(fixture.States("lstWeb"), std::vector<bool>({true, false}));
  }

  void CleanOnTheCleanerTabUsesTheChangedPage() {
    WindowFixture fixture;
    fixture.Start();
    fixture.SelectTab(2);
    fixture.ClickBox("lstWindows", 0);
    fixture.ClickBox("lstWindows", 1);
    fixture.ui.AnswerMessage(MessageAnswer::kOk);
    fixture.Find<QPushButton>("cmdWinSClean")->click();
    QCOMPARE(fixture.cleaned, std::vector<std::string>({"A2", "A3"}));
    ExpectCleanCompleted(fixture);

    fixture.cleaned.clear();
    fixture.ui.AnswerMessage(MessageAnswer::kOk);
    fixture.Find<QPushButton>("cmdSWebCleanup")->click();
    QCOMPARE(fixture.cleaned, std::vector<std::string>({"B1"}));
  }

  void CleanOnTheHomeTabUsesTheReloadedPage() {
    WritePresetBytes("Web", "Second only", {0, 1});
    WindowFixture fixture;
    // A key used twice on the page is passed over by the run.
    fixture.WriteConfig("windows.pick", PageWith({{"A1", true}, {"A1", true}, {"A3", true}}));
    fixture.Start();
    fixture.SelectTab(2);
    fixture.ClickBox("lstWindows", 2);
    fixture.SelectTab(1);
    fixture.ui.AnswerMessage(MessageAnswer::kOk);
    fixture.Find<QPushButton>("cmdWindowsClean")->click();
    QCOMPARE(fixture.cleaned, std::vector<std::string>({"A3"}));

    // The Web page was never shown; it holds the preset of the Web lists.
    fixture.cleaned.clear();
    fixture.ui.AnswerMessage(MessageAnswer::kOk);
    fixture.Find<QPushButton>("cmdWebClean")->click();
    QCOMPARE(fixture.cleaned, std::vector<std::string>({"B2"}));
    ExpectCleanCompleted(fixture);
  }

  void EveryTabFitsTheDefaultWindow() {
    WindowFixture fixture;
    for (const char* file : {"winclean.cln", "windows.pick", "webclean.cln", "web.pick"}) {
      QFile shipped(QStringLiteral(HUSHVAULT_SOURCE_DIR "/config/") + file);
      QVERIFY(shipped.open(QIODevice::ReadOnly));
      fixture.WriteConfig(file, shipped.readAll().toStdString());
    }
    fixture.Start();
    const QString shots = qEnvironmentVariable("HUSHVAULT_SCREENSHOTS");
    for (int n = 1; n <= frmMain::kTabCount; ++n) {
      fixture.SelectTab(n);
      auto* container = fixture.Find<QWidget>(QStringLiteral("cntTab%1").arg(n - 1).toLatin1());
      QCoreApplication::processEvents();
      // Every control is wholly inside its tab and at least its smallest usable size.
      for (QWidget* control : container->findChildren<QWidget*>()) {
        if (control->objectName().isEmpty() || !control->isVisible()) {
          continue;
        }
        const QRect inTab(control->mapTo(container, QPoint(0, 0)), control->size());
        QVERIFY2(container->rect().contains(inTab), qPrintable(control->objectName()));
        QVERIFY2(control->width() >= control->minimumSizeHint().width(),
                 qPrintable(control->objectName()));
      }
      if (!shots.isEmpty()) {
        QTest::qWait(1000);  // lets the page paint before the picture is taken
        QDir().mkpath(shots);
        fixture.Window().grab().save(QStringLiteral("%1/tab%2.png").arg(shots).arg(n));
      }
    }
  }

  void MessageStylesMapToIconsAndButtons_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::newRow("information, OK") << 64 << int(QMessageBox::Information) << int(QMessageBox::Ok);
    QTest::newRow("exclamation, OK") << 48 << int(QMessageBox::Warning) << int(QMessageBox::Ok);
    QTest::newRow("question, Yes and No")
        << 36 << int(QMessageBox::Question) << int(QMessageBox::Yes | QMessageBox::No);
    QTest::newRow("exclamation, Retry and Cancel")
        << 53 << int(QMessageBox::Warning) << int(QMessageBox::Retry | QMessageBox::Cancel);
    QTest::newRow("critical, OK and Cancel")
        << 17 << int(QMessageBox::Critical) << int(QMessageBox::Ok | QMessageBox::Cancel);
    QTest::newRow("plain OK") << 0 << int(QMessageBox::NoIcon) << int(QMessageBox::Ok);
  }

  void MessageStylesMapToIconsAndButtons() {
    QFETCH(int, style);
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QCOMPARE(int(MessageIcon(style)), icon);
    QCOMPARE(int(MessageButtons(style)), buttons);
    const std::pair<QMessageBox::StandardButton, int> answers[] = {
        {QMessageBox::Ok, MessageAnswer::kOk},
        {QMessageBox::Cancel, MessageAnswer::kCancel},
        {QMessageBox::Retry, MessageAnswer::kRetry},
        {QMessageBox::Yes, MessageAnswer::kYes},
        {QMessageBox::No, MessageAnswer::kNo},
        {QMessageBox::NoButton, MessageAnswer::kCancel}};
    for (const auto& [button, answer] : answers) {
      QCOMPARE(MessageAnswerOf(button), answer);
    }
  }
};

}  // namespace

QObject* MakePageCommandsTest() {
  return new PageCommandsTest;
}

}  // namespace hv::test

#include "PageCommandsTest.moc"
