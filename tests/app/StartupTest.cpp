// Start-up, tabs, settings and the files the program loads at start.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QtTest>

#include "AppTests.h"
#include "WindowFixture.h"
#include "app/SelectionPage.h"
#include "controls/AnyButton.h"
#include "controls/TabControl.h"
#include "ports/UserInterface.h"

namespace hv::test {
namespace {

QWidget* ShownContainer(WindowFixture& fixture) {
  QWidget* shown = nullptr;
  for (int i = 0; i < frmMain::kTabCount; ++i) {
    auto* container = fixture.Find<QWidget>(QStringLiteral("cntTab%1").arg(i).toLatin1());
    if (container->isVisible()) {
      if (shown != nullptr) {
        return nullptr;  // more than one shown is as wrong as none
      }
      shown = container;
    }
  }
  return shown;
}

constexpr int32_t kNotStored = -999;

// A DWORD of the program's settings.
int32_t Setting(const char* name) {
  const Variant value = ReadValue("Settings", name);
  const int32_t* number = std::get_if<int32_t>(&value);
  return number ? *number : kNotStored;
}

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearProgramRegistry(); }

  // Runs first: the test program starts on a damaged settings store.
  void DamagedSettingsStoreIsReportedOnce() {
    WindowFixture fixture;
    fixture.ui.AnswerMessage(MessageAnswer::kOk);
    fixture.Start();
    QCOMPARE(fixture.ui.messages.size(), size_t(1));
    QVERIFY(fixture.ui.messages.front().text.find("The settings store was damaged") !=
            std::string::npos);
    QCOMPARE(fixture.ui.messages.front().style, MessageStyle::kExclamation);
    fixture.Close();

    WindowFixture again;
    again.Start();
    QVERIFY(again.ui.messages.empty());
  }

  void FirstStartBuildsTabsAndStoresDefaultSettings() {
    WritePresetBytes("Windows", "Everything", {1, 1, 1});
    WritePresetBytes("Windows", "Nothing", {0, 0, 0});
    WindowFixture fixture;
    fixture.Start();

    auto* strip = fixture.Find<TabControl>("tabMain");
    QStringList captions;
    for (int i = 0; i < strip->TabCount(); ++i) {
      captions << strip->Bar()->tabText(i);
    }
    QCOMPARE(captions, QStringList({"Hushvault", "Windows Activity Cleaner", "Web Activity Cleaner",
                                    "File Protection", "About / Settings"}));
    QCOMPARE(ShownContainer(fixture), fixture.Find<QWidget>("cntTab0"));
    QCOMPARE(fixture.Window().windowTitle(), QString("Hushvault"));

    // No settings key yet: both boxes on, and stored so at once by their change handling.
    QVERIFY(fixture.Find<QCheckBox>("chkSettings0")->isChecked());
    QVERIFY(fixture.Find<QCheckBox>("chkSettings1")->isChecked());
    QCOMPARE(Setting("Option0"), 1);
    QCOMPARE(Setting("Option1"), 1);

    // Presets of the Windows kind exist: both of its lists at position 0, its page showing
    // that preset; the Web kind has none, so its lists are empty and its page as written.
    QCOMPARE(fixture.Find<QComboBox>("cboWindows")->currentIndex(), 0);
    QCOMPARE(fixture.Find<QComboBox>("cboWinPreset")->currentText(), QString("Everything"));
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({true, true, true}));
    QCOMPARE(fixture.Find<QComboBox>("cboWeb")->currentIndex(), -1);
    QCOMPARE(fixture.States("lstWeb"), std::vector<bool>({true, false}));

    QVERIFY(fixture.Find<QLabel>("lblAbout")->text().startsWith("Hushvault 1.7.23\n"));
    QVERIFY(fixture.ui.messages.empty());

    // A list without presets is stored as no selection, and stays so once presets exist.
    fixture.Close();
    QCOMPARE(Setting("CBIndex0"), -1);
    QCOMPARE(Setting("CBIndex1"), 0);
    WritePresetBytes("Web", "Later", {0, 0});
    WindowFixture again;
    again.Start();
    QCOMPARE(again.Find<QComboBox>("cboWeb")->currentIndex(), -1);
  }

  void SettingIsStoredAtOnceAndPositionsOnlyAtClose() {
    for (const char* name : {"One", "Two", "Three"}) {
      WritePresetBytes("Web", name, {1, 0});
      WritePresetBytes("Windows", name, {1, 0, 1});
    }
    WindowFixture fixture;
    fixture.Start();

    fixture.Find<QCheckBox>("chkSettings1")->click();
    QCOMPARE(Setting("Option1"), 0);

    fixture.Find<QComboBox>("cboWeb")->setCurrentIndex(2);
    fixture.Find<QComboBox>("cboWindows")->setCurrentIndex(1);
    QCOMPARE(Setting("CBIndex0"), kNotStored);
    fixture.Close();
    // CBIndex0 belongs to the Web list, CBIndex1 to the Windows list.
    QCOMPARE(Setting("CBIndex0"), 2);
    QCOMPARE(Setting("CBIndex1"), 1);

    WindowFixture again;
    again.Start();
    QVERIFY(again.Find<QCheckBox>("chkSettings0")->isChecked());
    QVERIFY(!again.Find<QCheckBox>("chkSettings1")->isChecked());
    QCOMPARE(again.Find<QComboBox>("cboWeb")->currentIndex(), 2);
    QCOMPARE(again.Find<QComboBox>("cboWebPreset")->currentIndex(), 2);
    QCOMPARE(again.Find<QComboBox>("cboWindows")->currentIndex(), 1);
    QCOMPARE(again.Find<QComboBox>("cboWinPreset")->currentIndex(), 1);
  }

  void ShownTabFillsThePageAreaAndSettingsShowsTabFive() {
    WindowFixture fixture;
    fixture.Start();
    auto* strip = fixture.Find<TabControl>("tabMain");
    for (int n = 1; n <= frmMain::kTabCount; ++n) {
      fixture.SelectTab(n);
      QWidget* shown = ShownContainer(fixture);
      QCOMPARE(shown, fixture.Find<QWidget>(QStringLiteral("cntTab%1").arg(n - 1).toLatin1()));
      const QRect strip_area = strip->geometry();
      QVERIFY(strip_area.contains(shown->geometry()));
      QVERIFY(shown->geometry().top() > strip->Bar()->geometry().bottom());
    }
    fixture.SelectTab(1);
    fixture.Find<QPushButton>("cmdSettings")->click();
    QCOMPARE(strip->CurrentTab(), 5);
    QCOMPARE(ShownContainer(fixture), fixture.Find<QWidget>("cntTab4"));
  }

  void MissingFilesAreNamedOnceOrShownAsEmptyPage() {
    WindowFixture fixture;
    fixture.RemoveConfig("winclean.cln");
    fixture.RemoveConfig("web.pick");
    fixture.ui.AnswerMessage(MessageAnswer::kOk);
    fixture.Start();
    QCOMPARE(fixture.ui.messages.size(), size_t(1));
    const auto& message = fixture.ui.messages.front();
    QVERIFY(message.text.find("winclean.cln") != std::string::npos);
    QCOMPARE(message.style, MessageStyle::kExclamation);
    QCOMPARE(message.title, std::string("Hushvault"));
    // The other files loaded all the same; the missing page is an empty page that names it.
    QCOMPARE(fixture.Window().WebItems().size(), size_t(2));
    QVERIFY(fixture.Window().WindowsItems().empty());
    QCOMPARE(fixture.States("lstWindows").size(), size_t(3));
    QVERIFY(fixture.States("lstWeb").empty());
    QVERIFY(fixture.Evaluate("lstWeb", "return document.body.innerText;")
                .toString()
                .contains("web.pick"));

    // Later tab switches pass over the file quietly.
    fixture.SelectTab(2);
    QCOMPARE(fixture.ui.messages.size(), size_t(1));
  }

  void BrokenDefinitionKeepsTheRecordsBeforeTheFault() {
    WindowFixture fixture;
    fixture.WriteConfig("webclean.cln", DefinitionsFor({"B1"}) + "\"B2\",\"half a record\",2\r\n");
    fixture.ui.AnswerMessage(MessageAnswer::kOk);
    fixture.Start();
    QCOMPARE(fixture.ui.messages.size(), size_t(1));
    QVERIFY(fixture.ui.messages.front().text.find("webclean.cln") != std::string::npos);
    QCOMPARE(fixture.Window().WebItems().size(), size_t(1));
    QCOMPARE(fixture.Window().WindowsItems().size(), size_t(3));
  }

  void TabPickedWhileLoadingWins() {
    WindowFixture fixture;
    fixture.Start();
    // The user's click arrives while the switch to tab 2 still waits for the pages.
    QTimer::singleShot(0, [&fixture] { fixture.SelectTab(3); });
    fixture.Find<TabControl>("tabMain")->SetCurrentTab(2);
    fixture.Window().TabSwitch(2);
    QCOMPARE(fixture.Find<TabControl>("tabMain")->CurrentTab(), 3);
    QCOMPARE(ShownContainer(fixture), fixture.Find<QWidget>("cntTab2"));
    QCOMPARE(fixture.States("lstWindows").size(), size_t(3));
    QCOMPARE(fixture.States("lstWeb").size(), size_t(2));
  }

  void ClearClipboardEmptiesItAndSaysSo() {
    WindowFixture fixture;
    fixture.Start();
    for (const QString& held : {QString("secret"), QString()}) {
      QGuiApplication::clipboard()->setText(held);
      fixture.ui.AnswerMessage(MessageAnswer::kOk);
      fixture.Find<QPushButton>("cmdClearClipboard")->click();
      QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
      QCOMPARE(fixture.ui.messages.back().text, std::string("Clipboard Cleared!"));
      QCOMPARE(fixture.ui.messages.back().style, MessageStyle::kInformation);
    }
    QCOMPARE(fixture.ui.messages.size(), size_t(2));
  }

  void WebsiteButtonOpensTheProductPage() {
    WindowFixture fixture;
    fixture.Start();
    fixture.SelectTab(5);
    auto* button = fixture.Find<AnyButton>("cmdWebsite");
    QVERIFY(button != nullptr);
    QCOMPARE(button->Caption(), QString("Visit our website!"));
    // Only the left button is a click.
    QTest::mouseClick(button, Qt::RightButton, {}, button->rect().center());
    QVERIFY(fixture.opened.empty());
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    QCOMPARE(fixture.opened, std::vector<QUrl>({QUrl(kWebsiteAddress)}));
  }
};

}  // namespace

QObject* MakeStartupTest() {
  return new StartupTest;
}

}  // namespace hv::test

#include "StartupTest.moc"
