// The File Protection tab on its own, offscreen: file choice through a scripted dialog,
// passwords and messages through the scripted user interface, real files in a temporary
// folder.
#include <fcntl.h>
#include <unistd.h>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>

#include "CryptTestData.h"
#include "QtTestMain.h"
#include "ScriptedUserInterface.h"
#include "TempFolder.h"
#include "app/FileProtectionTab.h"
#include "app/Settings.h"

namespace {

namespace MessageAnswer = hv::MessageAnswer;
using hv::test::ReadFile;
using Message = hv::test::ScriptedUserInterface::Message;
using Files = std::vector<std::string>;
constexpr int kExclamation = 48;

// One tab with everything it reaches scripted or sandboxed.
struct TabFixture {
  hv::test::TempFolder folder;
  hv::test::ScriptedUserInterface ui;
  Files chosen;
  // Strong files at the cheapest cost the format allows: the format is the same.
  hv::FileProtectionTab tab{hv::CryptContext{.ui = ui, .strongCost = {1, 8192}},
                            hv::GCommonDialog({[this](const hv::FileDialogRequest&) {
                                                 return hv::FileDialogAnswer{chosen, 0};
                                               },
                                               nullptr, nullptr})};

  std::string Write(const std::string& name, const std::string& content) const {
    return folder.Write(name, content).string();
  }

  void Click(const char* button) { tab.findChild<QPushButton*>(button)->click(); }

  void Browse(const char* button, Files files) {
    chosen = std::move(files);
    Click(button);
  }

  Files Entries(const char* list) const {
    auto* widget = tab.findChild<QListWidget*>(list);
    Files entries;
    for (int i = 0; i < widget->count(); ++i) {
      entries.push_back(widget->item(i)->text().toStdString());
    }
    return entries;
  }
};

}  // namespace

class FileProtectionTabTest : public QObject {
  Q_OBJECT

 private slots:
  // Browse replaces the list (a root folder's separator not doubled); one common password;
  // the report, and the list cleared.
  void encryptWithSamePassReportsAndClears() {
    TabFixture f;
    f.Browse("cmdEncBrowse", {"/x", "/y"});
    QCOMPARE(f.Entries("lstFileEncrypt"), (Files{"/x", "/y"}));
    const std::string a = f.Write("a.txt", "alpha"), b = f.Write("b.txt", "beta");
    f.Browse("cmdEncBrowse", {a, b});
    f.tab.findChild<QCheckBox*>("chkEncPass")->setChecked(true);
    f.ui.AnswerPassword("pw");
    f.ui.AnswerMessage(MessageAnswer::kOk);
    f.Click("cmdEncrypt");
    QCOMPARE(f.ui.events, (Files{"password: Enter the password: (confirm)",
                                 "message: Successfully encrypted 2 file(s)."}));
    QCOMPARE(f.ui.messages[0].title, std::string("Encrypt"));
    QVERIFY(f.Entries("lstFileEncrypt").empty());
    QCOMPARE(ReadFile(b + ".vlt"), hv::test::Encrypted("beta", "pw"));
  }

  // A wrong common password: one message per file and the total; not given: no message.
  // The list and the files are kept.
  void failedOrCancelledKeepsTheList() {
    TabFixture f;
    const std::string vault = hv::test::Encrypted("a", "right");
    const Files vaults = {f.Write("a.vlt", vault), f.Write("b.vlt", vault)};
    f.Browse("cmdDecBrowse", vaults);
    f.ui.AnswerPassword("wrong");
    for (int i = 0; i < 3; ++i) {
      f.ui.AnswerMessage(MessageAnswer::kOk);
    }
    f.Click("cmdDecrypt");
    QCOMPARE(f.ui.messages.size(), std::size_t{3});
    QCOMPARE(f.ui.messages[2], (Message{"Could not decrypt 2 file(s)!", kExclamation, "Decrypt"}));
    f.ui.AnswerPassword("");
    f.Click("cmdDecrypt");
    QVERIFY(f.ui.ScriptUsedUp());
    QCOMPARE(f.ui.messages.size(), std::size_t{3});
    QCOMPARE(f.Entries("lstFileDecrypt"), vaults);
    QCOMPARE(ReadFile(vaults[1]), vault);
  }

  // A name whose bytes are no UTF-8 text is shown with replacement characters, and each
  // command acts on the file by its stored name.
  void namesThatAreNoTextKeepTheirBytes() {
    TabFixture f;
    const std::string plain = f.Write("caf\xe9.txt", "secret");
    const std::string shown = (f.folder.Path() / "caf\xef\xbf\xbd.txt").string();
    f.Browse("cmdEncBrowse", {plain});
    QCOMPARE(f.Entries("lstFileEncrypt"), Files{shown});
    f.ui.AnswerPassword("pw");
    f.ui.AnswerMessage(MessageAnswer::kOk);
    f.Click("cmdEncrypt");
    std::vector<Message> expected = {{"Successfully encrypted 1 file(s).", 64, "Encrypt"}};
    QCOMPARE(f.ui.messages, expected);
    QCOMPARE(ReadFile(plain + ".vlt"), hv::test::Encrypted("secret", "pw"));
    QVERIFY(!std::filesystem::exists(plain));

    f.Browse("cmdDecBrowse", {plain + ".vlt"});
    f.ui.AnswerPassword("pw");
    f.ui.AnswerMessage(MessageAnswer::kOk);
    f.Click("cmdDecrypt");
    expected.push_back({"Successfully decrypted 1 file(s).", 64, "Decrypt"});
    QCOMPARE(f.ui.messages, expected);
    QCOMPARE(ReadFile(plain), std::string("secret"));

    f.Browse("cmdWipeBrowse", {plain});
    f.ui.AnswerMessage(MessageAnswer::kYes);
    f.ui.AnswerMessage(MessageAnswer::kOk);
    f.Click("cmdSWipe");
    expected.push_back({"Are you sure you want to wipe the selected file(s)?", 36, "File Wiper"});
    expected.push_back({"Successfully wiped 1 file(s).\r\n", 64, "File Wiper"});
    QCOMPARE(f.ui.messages, expected);
    QVERIFY(!std::filesystem::exists(plain));
  }

  // The strong box starts as stored (off when nothing is), says what it costs, tells the
  // window when the user changes it, and chooses the format of new files; Decrypt! reads
  // either format whatever it says.
  void strongBoxChoosesTheFormat() {
    for (const bool stored : {false, true}) {
      hv::WriteSetting(hv::kStrongEncryptionSetting, stored ? 1 : 0);
      TabFixture f;
      auto* box = f.tab.findChild<QCheckBox*>("chkStrong");
      QCOMPARE(box->text(), QString("Strong encryption (older versions cannot open these files)"));
      QCOMPARE(box->isChecked(), stored);
      std::vector<bool> told;
      connect(&f.tab, &hv::FileProtectionTab::StrongEncryptionChanged,
              [&told](bool on) { told.push_back(on); });
      box->click();
      QCOMPARE(told, std::vector<bool>{!stored});

      const std::string plain = f.Write("a.txt", "alpha");
      f.Browse("cmdEncBrowse", {plain});
      f.ui.AnswerPassword("pw");
      f.ui.AnswerMessage(MessageAnswer::kOk);
      f.Click("cmdEncrypt");
      const std::string vault = ReadFile(plain + ".vlt");
      QCOMPARE(vault.starts_with("HVSTRONG\x01"), !stored);
      QCOMPARE(vault == hv::test::Encrypted("alpha", "pw"), stored);

      box->click();
      f.Browse("cmdDecBrowse", {plain + ".vlt"});
      f.ui.AnswerPassword("pw");
      f.ui.AnswerMessage(MessageAnswer::kOk);
      f.Click("cmdDecrypt");
      QCOMPARE(ReadFile(plain), std::string("alpha"));
      QVERIFY(f.ui.ScriptUsedUp());
    }
    hv::WriteSetting(hv::kStrongEncryptionSetting, 0);
  }

  // The question first: No keeps the list and the files; Yes wipes and reports both counts,
  // with one of the files held open by another program.
  void wipeAsksAndReports() {
    for (const bool confirmed : {false, true}) {
      TabFixture f;
      const std::string free = f.Write("free", std::string(5000, 'a'));
      const std::string held = f.Write("held", "b");
      f.Browse("cmdWipeBrowse", {free, held});
      // Another open descriptor is what "held open by another program" looks like here.
      const int other = open(held.c_str(), O_RDONLY);
      f.ui.AnswerMessage(confirmed ? MessageAnswer::kYes : MessageAnswer::kNo);
      std::vector<Message> expected = {
          {"Are you sure you want to wipe the selected file(s)?", 36, "File Wiper"}};
      if (confirmed) {
        f.ui.AnswerMessage(MessageAnswer::kOk);
        expected.push_back({"Successfully wiped 1 file(s).\r\nCould not delete 1 files!",
                            kExclamation, "File Wiper"});
      }
      f.Click("cmdSWipe");
      close(other);
      QCOMPARE(f.ui.messages, expected);
      QCOMPARE(std::filesystem::exists(free), !confirmed);
      QCOMPARE(ReadFile(held), std::string("b"));
      QCOMPARE(f.Entries("lstFileWipe").size(), confirmed ? 0u : 2u);
    }
  }
};

HV_QTEST_MAIN(FileProtectionTabTest)
#include "FileProtectionTabTest.moc"
