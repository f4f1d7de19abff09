// The File Protection tab on its own, offscreen: file choice through a scripted dialog,
// passwords and messages through the scripted user interface, real files in a temporary
// folder.
#include <fcntl.h>
#include <unistd.h>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "QtTestMain.h"
#include "ScriptedUserInterface.h"
#include "TempFolder.h"
#include "app/FileProtectionTab.h"

namespace {

using hv::test::ReadFile;
using Message = hv::test::ScriptedUserInterface::Message;
constexpr int kInformation = 64;
constexpr int kExclamation = 48;

// One tab with everything it reaches scripted or sandboxed.
struct TabFixture {
  hv::test::TempFolder folder;
  hv::test::ScriptedUserInterface ui;
  std::vector<hv::FileDialogRequest> requests;
  std::optional<hv::FileDialogAnswer> nextChoice;
  hv::FileProtectionTab tab{hv::CryptContext{ui},
                            hv::GCommonDialog({[this](const hv::FileDialogRequest& request) {
                                                 requests.push_back(request);
                                                 return nextChoice;
                                               },
                                               nullptr, nullptr})};

  std::string Write(const std::string& name, const std::string& content) const {
    return folder.Write(name, content).string();
  }

  void Click(const char* button) { tab.findChild<QPushButton*>(button)->click(); }

  // Browse with the dialog answering these files (nothing: cancelled).
  void Browse(const char* button, std::vector<std::string> files) {
    nextChoice.reset();
    if (!files.empty()) {
      nextChoice = hv::FileDialogAnswer{std::move(files), 0};
    }
    Click(button);
  }

  QStringList Entries(const char* list) const {
    auto* widget = tab.findChild<QListWidget*>(list);
    QStringList entries;
    for (int i = 0; i < widget->count(); ++i) {
      entries << widget->item(i)->text();
    }
    return entries;
  }

  void SamePass(const char* box, bool checked) {
    tab.findChild<QCheckBox*>(box)->setChecked(checked);
  }
};

struct Group {
  const char *list, *browse, *command, *commandText, *label, *labelText, *filterName,
      *filterPattern;
};

const Group kGroups[] = {
    {"lstFileEncrypt", "cmdEncBrowse", "cmdEncrypt", "Encrypt!", "lblCaptions0",
     "Files to encrypt:", "All (*.*)", " *.*"},
    {"lstFileDecrypt", "cmdDecBrowse", "cmdDecrypt", "Decrypt!", "lblCaptions1",
     "Files to decrypt:", "Hushvault Encrypted Files (*.vlt)", "*.vlt"},
    {"lstFileWipe", "cmdWipeBrowse", "cmdSWipe", "Wipe Now!", "lblCaptions2",
     "Files to wipe:", "All (*.*)", " *.*"},
};

QStringList Texts(const std::vector<std::string>& paths) {
  QStringList texts;
  for (const std::string& path : paths) {
    texts << QString::fromStdString(path);
  }
  return texts;
}

}  // namespace

class FileProtectionTabTest : public QObject {
  Q_OBJECT

 private slots:
  // Each group's controls and captions, and its Browse: existing files through the group's
  // filter replace the list; a cancelled dialog leaves it.
  void groupsBrowse() {
    for (const Group& g : kGroups) {
      TabFixture f;
      QCOMPARE(f.tab.findChild<QPushButton*>(g.command)->text(), QString(g.commandText));
      QCOMPARE(f.tab.findChild<QPushButton*>(g.browse)->text(), QString("Browse"));
      QCOMPARE(f.tab.findChild<QLabel*>(g.label)->text(), QString(g.labelText));
      f.Browse(g.browse, {"/d/a", "/d/b", "/d/c"});
      QCOMPARE(f.Entries(g.list), (QStringList{"/d/a", "/d/b", "/d/c"}));
      f.Browse(g.browse, {});
      QCOMPARE(f.Entries(g.list), (QStringList{"/d/a", "/d/b", "/d/c"}));
      f.Browse(g.browse, {"/x", "/y"});
      QCOMPARE(f.Entries(g.list), (QStringList{"/x", "/y"}));  // no doubled root separator
      QCOMPARE(f.requests.size(), std::size_t{3});
      const hv::FileDialogRequest& request = f.requests[0];
      QVERIFY(request.multiSelect && request.fileMustExist && !request.save);
      QCOMPARE(request.filterIndex, 0);
      QCOMPARE(request.filters,
               (std::vector<std::pair<std::string, std::string>>{{g.filterName, g.filterPattern}}));
    }
  }

  void encryptWithSamePassReportsAndClears() {
    TabFixture f;
    const std::string a = f.Write("a.txt", "alpha"), b = f.Write("b.txt", "beta");
    f.Browse("cmdEncBrowse", {a, b});
    QCOMPARE(f.tab.findChild<QCheckBox*>("chkEncPass")->text(), QString("Same Pass"));
    QCOMPARE(f.tab.findChild<QCheckBox*>("chkDecPass")->text(), QString("Same Pass"));
    f.SamePass("chkEncPass", true);
    f.ui.AnswerPassword("pw");
    f.ui.AnswerMessage(hv::MessageAnswer::kOk);
    f.Click("cmdEncrypt");
    QCOMPARE(f.ui.events, (std::vector<std::string>{"password: Enter the password: (confirm)",
                                                    "message: Successfully encrypted 2 file(s)."}));
    QCOMPARE(f.ui.messages[0],
             (Message{"Successfully encrypted 2 file(s).", kInformation, "Encrypt"}));
    QVERIFY(f.Entries("lstFileEncrypt").isEmpty());
    QVERIFY(std::filesystem::exists(a + ".vlt"));
    QVERIFY(!std::filesystem::exists(a));

    // And back, one password per file.
    f.Browse("cmdDecBrowse", {a + ".vlt", b + ".vlt"});
    f.SamePass("chkDecPass", false);
    f.ui.AnswerPassword("pw");
    f.ui.AnswerPassword("pw");
    f.ui.AnswerMessage(hv::MessageAnswer::kOk);
    f.Click("cmdDecrypt");
    QCOMPARE(f.ui.messages.back(),
             (Message{"Successfully decrypted 2 file(s).", kInformation, "Decrypt"}));
    QCOMPARE(ReadFile(a), std::string("alpha"));
    QCOMPARE(ReadFile(b), std::string("beta"));
    QVERIFY(f.Entries("lstFileDecrypt").isEmpty());
    QVERIFY(f.ui.ScriptUsedUp());
  }

  void wrongCommonPasswordKeepsTheList() {
    TabFixture f;
    std::vector<std::string> vaults;
    for (const char* name : {"a", "b"}) {
      const std::string plain = f.Write(name, name);
      hv::CryptContext context{f.ui};
      std::string password = "right";
      QVERIFY(hv::EncryptFile(context, plain, password, false));
      vaults.push_back(plain + ".vlt");
    }
    f.Browse("cmdDecBrowse", vaults);
    f.ui.AnswerPassword("wrong");
    for (int i = 0; i < 3; ++i) {
      f.ui.AnswerMessage(hv::MessageAnswer::kOk);
    }
    f.Click("cmdDecrypt");
    QCOMPARE(f.ui.messages.size(), std::size_t{3});
    QCOMPARE(QString::fromStdString(f.ui.messages[0].title), QString("Invalid Pass"));
    QCOMPARE(QString::fromStdString(f.ui.messages[1].title), QString("Invalid Pass"));
    QCOMPARE(f.ui.messages[2], (Message{"Could not decrypt 2 file(s)!", kExclamation, "Decrypt"}));
    QCOMPARE(f.Entries("lstFileDecrypt"), Texts(vaults));
  }

  // Nothing to hand over, or the common password not given: no message, list kept.
  void quietCases() {
    TabFixture f;
    f.Click("cmdEncrypt");  // empty list
    const std::string gone = f.Write("gone.txt", "x");
    const std::string hidden = f.Write(".hidden", "x");
    f.Browse("cmdEncBrowse", {gone, hidden});
    std::filesystem::remove(gone);
    f.Click("cmdEncrypt");
    QVERIFY(f.ui.events.empty());
    QCOMPARE(f.Entries("lstFileEncrypt"), Texts({gone, hidden}));

    const std::string kept = f.Write("kept.txt", "x");
    f.Browse("cmdEncBrowse", {kept});
    f.ui.AnswerPassword("");
    f.Click("cmdEncrypt");
    QCOMPARE(f.ui.events, std::vector<std::string>{"password: Enter the password: (confirm)"});
    QCOMPARE(f.Entries("lstFileEncrypt"), Texts({kept}));
    QCOMPARE(ReadFile(kept), std::string("x"));
  }

  // Answering No keeps the list; Yes on an empty list does nothing more.
  void wipeAsksFirst() {
    for (const auto& [withFiles, answer] :
         {std::pair{true, hv::MessageAnswer::kNo}, std::pair{false, hv::MessageAnswer::kYes}}) {
      TabFixture f;
      const std::string file = f.Write("f", "data");
      if (withFiles) {
        f.Browse("cmdWipeBrowse", {file});
      }
      f.ui.AnswerMessage(answer);
      f.Click("cmdSWipe");
      QCOMPARE(f.ui.messages,
               (std::vector<Message>{
                   {"Are you sure you want to wipe the selected file(s)?", 36, "File Wiper"}}));
      QCOMPARE(ReadFile(file), std::string("data"));
      QCOMPARE(f.Entries("lstFileWipe").size(), withFiles ? 1 : 0);
    }
  }

  void wipeReportsBothCounts() {
    for (const bool holdOneOpen : {false, true}) {
      TabFixture f;
      const std::string free = f.Write("free", std::string(5000, 'a'));
      const std::string held = f.Write("held", "b");
      f.Browse("cmdWipeBrowse", {free, held});
      // Another open descriptor is what "held open by another program" looks like here.
      const int other = holdOneOpen ? open(held.c_str(), O_RDONLY) : -1;
      f.ui.AnswerMessage(hv::MessageAnswer::kYes);
      f.ui.AnswerMessage(hv::MessageAnswer::kOk);
      f.Click("cmdSWipe");
      if (other >= 0) {
        close(other);
      }
      const Message report =
          holdOneOpen ? Message{"Successfully wiped 1 file(s).\r\nCould not delete 1 files!",
                                kExclamation, "File Wiper"}
                      : Message{"Successfully wiped 2 file(s).\r\n", kInformation, "File Wiper"};
      QCOMPARE(f.ui.messages.size(), std::size_t{2});
      QCOMPARE(f.ui.messages[1], report);
      QVERIFY(!std::filesystem::exists(free));
      QCOMPARE(std::filesystem::exists(held), holdOneOpen);
      QVERIFY(f.Entries("lstFileWipe").isEmpty());
    }
  }
};

HV_QTEST_MAIN(FileProtectionTabTest)
#include "FileProtectionTabTest.moc"
