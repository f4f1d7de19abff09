// Start-up, tabs, settings and the files the program loads at start.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "AppTests.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "WindowFixture.h"
#include "app/RunMainWindow.h"
#include "app/Settings.h"
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

// A DWORD of the program's settings; -999 when none is stored.
int32_t Setting(const char* name) {
  const Variant value = ReadValue("Settings", name);
  const int32_t* number = std::get_if<int32_t>(&value);
  return number ? *number : -999;
}

// A settings store that another running copy holds locked: every value write fails.
class LockedForWrites : public ForwardingRegistry {
 public:
  using ForwardingRegistry::ForwardingRegistry;
  long SetValueEx(RegKey, const char*, uint32_t, const uint8_t*, uint32_t) override {
    return kErrorLockViolation;
  }

 private:
  static constexpr long kErrorLockViolation = 33;
};

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

  // A first start without a settings key, then a user's changes: settings are stored at
  // once, list positions only at close, and the next start brings both back.
  void SettingsAndListPositionsAcrossStarts() {
    WritePresetBytes("Windows", "Everything", {1, 1, 1});
    WritePresetBytes("Windows", "Nothing", {0, 0, 0});
    WindowFixture first;
    first.Start();
    QCOMPARE(ShownContainer(first), first.Find<QWidget>("cntTab0"));
    QVERIFY(first.ui.messages.empty());

    // No settings key yet: both boxes on, and stored so at once by their change handling.
    QVERIFY(first.Find<QCheckBox>("chkSettings0")->isChecked());
    QVERIFY(first.Find<QCheckBox>("chkSettings1")->isChecked());
    QVERIFY(!first.Find<QCheckBox>("chkStrong")->isChecked());
    QCOMPARE(Setting("Option0"), 1);
    QCOMPARE(Setting("Option1"), 1);
    // Presets of the Windows kind exist: both of its lists at position 0, its page showing
    // that preset; the Web kind has none, so its lists are empty and its page as written.
    QCOMPARE(first.Find<QComboBox>("cboWindows")->currentIndex(), 0);
    QCOMPARE(first.Find<QComboBox>("cboWinPreset")->currentText(), QString("Everything"));
    QCOMPARE(first.States("lstWindows"), std::vector<bool>({true, true, true}));
    QCOMPARE(first.Find<QComboBox>("cboWeb")->currentIndex(), -1);
    QCOMPARE(first.States("lstWeb"), std::vector<bool>({true, false}));
    first.Close();
    QCOMPARE(Setting("CBIndex0"), -1);
    QCOMPARE(Setting("CBIndex1"), 0);

    for (const char* name : {"One", "Two", "Three"}) {
      WritePresetBytes("Web", name, {1, 0});
    }
    WindowFixture second;
    second.Start();
    second.Find<QCheckBox>("chkSettings1")->click();
    QCOMPARE(Setting("Option1"), 0);
    second.Find<QCheckBox>("chkStrong")->click();
    QCOMPARE(Setting("StrongEncryption"), 1);
    second.PickEntry("cboWeb", 2);
    // The home list applies its preset to the hidden page at once.
    second.PickEntry("cboWindows", 1);
    QCOMPARE(second.Find<QComboBox>("cboWinPreset")->currentIndex(), 1);
    QCOMPARE(second.States("lstWindows"), std::vector<bool>({false, false, false}));
    QCOMPARE(Setting("CBIndex0"), -1);
    second.Close();
    // CBIndex0 belongs to the Web list, CBIndex1 to the Windows list.
    QCOMPARE(Setting("CBIndex0"), 2);
    QCOMPARE(Setting("CBIndex1"), 1);

    WindowFixture third;
    third.Start();
    QVERIFY(!third.Find<QCheckBox>("chkSettings1")->isChecked());
    QVERIFY(third.Find<QCheckBox>("chkStrong")->isChecked());
    QCOMPARE(third.Find<QComboBox>("cboWeb")->currentIndex(), 2);
    QCOMPARE(third.Find<QComboBox>("cboWebPreset")->currentIndex(), 2);
    QCOMPARE(third.Find<QComboBox>("cboWindows")->currentIndex(), 1);
  }

  // Every file that failed is named in one message; what loaded is used, a broken
  // definition file keeps the records before the fault, a missing page shows as an empty
  // page that names it.
  void LoadProblemsAreNamedOnce() {
    WindowFixture fixture;
    fixture.RemoveConfig("winclean.cln");
    fixture.RemoveConfig("web.pick");
    fixture.WriteConfig("webclean.cln", DefinitionsFor({"B1"}) + "\"B2\",\"half a record\",2\r\n");
    fixture.ui.AnswerMessage(MessageAnswer::kOk);
    fixture.Start();
    QCOMPARE(fixture.ui.messages.size(), size_t(1));
    const auto& message = fixture.ui.messages.front();
    QVERIFY(message.text.find("winclean.cln") != std::string::npos);
    QVERIFY(message.text.find("webclean.cln") != std::string::npos);
    QCOMPARE(message.style, MessageStyle::kExclamation);
    QCOMPARE(fixture.Window().WebItems().size(), size_t(1));
    QVERIFY(fixture.Window().WindowsItems().empty());
    QCOMPARE(fixture.States("lstWindows").size(), size_t(3));
    QVERIFY(fixture.States("lstWeb").empty());
    QVERIFY(fixture.Document("lstWeb")
                .Evaluate("return document.body.innerText;")
                .toString()
                .contains("web.pick"));

    // Later tab switches pass over the files quietly.
    fixture.SelectTab(2);
    QCOMPARE(fixture.ui.messages.size(), size_t(1));
  }

  // Without any folder of definition files, the one message first says where they were
  // looked for, then names the files; the window still opens, empty.
  void MissingDataFolderIsNamedFirst() {
    WindowFixture fixture;
    for (const char* file : {"winclean.cln", "webclean.cln", "windows.pick", "web.pick"}) {
      fixture.RemoveConfig(file);
    }
    fixture.configNotFound = "not found. Looked in:\n  /nowhere/config";
    fixture.ui.AnswerMessage(MessageAnswer::kOk);
    fixture.Start();
    QCOMPARE(fixture.ui.messages.size(), size_t(1));
    const std::string& text = fixture.ui.messages.front().text;
    const size_t where = text.find(fixture.configNotFound);
    QVERIFY2(where != std::string::npos, text.c_str());
    QVERIFY2(where < text.find("winclean.cln"), text.c_str());
    QVERIFY(fixture.Window().WindowsItems().empty());
    QVERIFY(fixture.Window().WebItems().empty());
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
    QGuiApplication::clipboard()->setText("secret");
    fixture.ui.AnswerMessage(MessageAnswer::kOk);
    fixture.Find<QPushButton>("cmdClearClipboard")->click();
    QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
    QCOMPARE(fixture.ui.messages,
             std::vector<ScriptedUserInterface::Message>(
                 {{"Clipboard Cleared!", MessageStyle::kInformation, "Hushvault"}}));
  }

  void WebsiteButtonOpensTheProductPage() {
    WindowFixture fixture;
    fixture.Start();
    fixture.SelectTab(5);
    auto* button = fixture.Find<AnyButton>("cmdWebsite");
    QVERIFY(button != nullptr);
    QCOMPARE(button->Caption(), QString("Visit our website!"));
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    QCOMPARE(fixture.opened, std::vector<QUrl>({QUrl(kWebsiteAddress)}));
  }

  // A close that arrives while the pages still load ends the program. The positions stored
  // before stay: the lists never showed them, so they are not the user's choice.
  void CloseDuringStartUpEndsTheProgram() {
    for (const char* name : {"One", "Two"}) {
      WritePresetBytes("Web", name, {1, 0});
    }
    WriteSetting("CBIndex0", 1);
    WindowFixture fixture;
    frmMain& window = fixture.Make();
    QTimer::singleShot(0, &window, [&window] { window.close(); });
    bool ended = true;
    QTimer stillRunning;
    stillRunning.setSingleShot(true);
    connect(&stillRunning, &QTimer::timeout, [&ended] {
      ended = false;
      QCoreApplication::quit();
    });
    stillRunning.start(20000);
    QCOMPARE(RunMainWindow(window), 0);
    QVERIFY(ended);
    QVERIFY(fixture.ui.messages.empty());
    QCOMPARE(Setting("CBIndex0"), 1);
  }

  // Settings the store refuses are told once, whatever the number of failed writes, and
  // the message says what to do.
  void FailedSettingWritesAreToldOnce() {
    ScratchRegistry scratch;
    scratch.UseInstead(std::make_unique<LockedForWrites>(scratch.Backend()));
    WindowFixture fixture;
    fixture.ui.AnswerMessage(MessageAnswer::kOk);
    // Nothing stored yet: start-up checks both boxes and stores them, in vain.
    fixture.Start();
    auto* wipe = fixture.Find<QCheckBox>("chkSettings0");
    wipe->click();
    wipe->click();
    fixture.Close();
    QCOMPARE(fixture.ui.messages.size(), size_t(1));
    const auto& message = fixture.ui.messages.front();
    QVERIFY2(message.text.starts_with("Your settings could not be saved:"), message.text.c_str());
    QVERIFY(message.text.find("Close any other running copy of Hushvault") != std::string::npos);
    QCOMPARE(message.style, MessageStyle::kExclamation);
    QCOMPARE(message.title, std::string("Hushvault"));
  }

  // Files handed to the program land in their lists on the File Protection tab, which is
  // shown; a later handing adds to what the lists hold.
  void FilesHandedOverShowTheirLists() {
    const TempFolder files;
    const std::string plain = files.Write("plain.txt", "p").string();
    const std::string vault = files.Write("plain.txt.vlt", "v").string();
    WindowFixture fixture;
    fixture.Start();
    fixture.Window().OpenFiles({{FileList::kEncrypt, plain}, {FileList::kDecrypt, vault}});
    fixture.Window().OpenFiles({{FileList::kWipe, plain}, {FileList::kEncrypt, plain}});
    const auto entries = [&](const char* list) {
      auto* widget = fixture.Find<QListWidget>(list);
      std::vector<std::string> paths;
      for (int i = 0; i < widget->count(); ++i) {
        paths.push_back(widget->item(i)->text().toStdString());
      }
      return paths;
    };
    QCOMPARE(entries("lstFileEncrypt"), std::vector<std::string>{plain});
    QCOMPARE(entries("lstFileDecrypt"), std::vector<std::string>{vault});
    QCOMPARE(entries("lstFileWipe"), std::vector<std::string>{plain});
    QCOMPARE(ShownContainer(fixture), fixture.Window().FileProtectionContainer());
    QVERIFY(fixture.ui.messages.empty());
  }
};

}  // namespace

QObject* MakeStartupTest() {
  return new StartupTest;
}

}  // namespace hv::test

#include "StartupTest.moc"
