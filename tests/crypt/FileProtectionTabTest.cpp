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

  std::vector<std::string> Entries(const char* list) const {
    auto* widget = tab.findChild<QListWidget*>(list);
    std::vector<std::string> entries;
    for (int i = 0; i < widget->count(); ++i) {
      entries.push_back(widget->item(i)->text().toStdString());
    }
    return entries;
  }
};

struct Group {
  const char *list, *browse, *filterName, *filterPattern;
};

const Group kGroups[] = {
    {"lstFileEncrypt", "cmdEncBrowse", "All (*.*)", " *.*"},
    {"lstFileDecrypt", "cmdDecBrowse", "Hushvault Encrypted Files (*.vlt)", "*.vlt"},
    {"lstFileWipe", "cmdWipeBrowse", "All (*.*)", " *.*"},
};

}  // namespace

class FileProtectionTabTest : public QObject {
  Q_OBJECT

 private slots:
  // Each group's Browse: existing files through the group's filter replace the list; a
  // cancelled dialog leaves it.
  void groupsBrowse() {
    for (const Group& g : kGroups) {
      TabFixture f;
      const std::vector<std::string> three = {"/d/a", "/d/b", "/d/c"}, inRoot = {"/x", "/y"};
      f.Browse(g.browse, three);
      QCOMPARE(f.Entries(g.list), three);
      f.Browse(g.browse, {});
      QCOMPARE(f.Entries(g.list), three);
      f.Browse(g.browse, inRoot);
      QCOMPARE(f.Entries(g.list), inRoot);  // no doubled root separator
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
    f.tab.findChild<QCheckBox*>("chkEncPass")->setChecked(true);
    f.ui.AnswerPassword("pw");
    f.ui.AnswerMessage(hv::MessageAnswer::kOk);
    f.Click("cmdEncrypt");
    QCOMPARE(f.ui.events, (std::vector<std::string>{"password: Enter the password: (confirm)",
                                                    "message: Successfully encrypted 2 file(s)."}));
    QCOMPARE(f.ui.messages[0],
             (Message{"Successfully encrypted 2 file(s).", kInformation, "Encrypt"}));
    QVERIFY(f.Entries("lstFileEncrypt").empty());

    // And back, one password per file.
    f.Browse("cmdDecBrowse", {a + ".vlt", b + ".vlt"});
    f.tab.findChild<QCheckBox*>("chkDecPass")->setChecked(false);
    f.ui.AnswerPassword("pw");
    f.ui.AnswerPassword("pw");
    f.ui.AnswerMessage(hv::MessageAnswer::kOk);
    f.Click("cmdDecrypt");
    QCOMPARE(f.ui.messages.back(),
             (Message{"Successfully decrypted 2 file(s).", kInformation, "Decrypt"}));
    QVERIFY(f.Entries("lstFileDecrypt").empty());
    QVERIFY(f.ui.ScriptUsedUp());
  }

  void wrongCommonPasswordKeepsTheList() {
    TabFixture f;
    const std::vector<std::string> vaults = {f.Write("a.vlt", hv::test::Encrypted("a", "right")),
                                             f.Write("b.vlt", hv::test::Encrypted("b", "right"))};
    f.Browse("cmdDecBrowse", vaults);
    f.ui.AnswerPassword("wrong");
    for (int i = 0; i < 3; ++i) {
      f.ui.AnswerMessage(hv::MessageAnswer::kOk);
    }
    f.Click("cmdDecrypt");
    QCOMPARE(f.ui.messages.size(), std::size_t{3});
    QCOMPARE(f.ui.messages[2], (Message{"Could not decrypt 2 file(s)!", kExclamation, "Decrypt"}));
    QCOMPARE(f.Entries("lstFileDecrypt"), vaults);
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
    QCOMPARE(f.Entries("lstFileEncrypt"), (std::vector{gone, hidden}));

    const std::string kept = f.Write("kept.txt", "x");
    f.Browse("cmdEncBrowse", {kept});
    f.ui.AnswerPassword("");
    f.Click("cmdEncrypt");
    QCOMPARE(f.ui.events, std::vector<std::string>{"password: Enter the password: (confirm)"});
    QCOMPARE(f.Entries("lstFileEncrypt"), std::vector{kept});
    QCOMPARE(ReadFile(kept), std::string("x"));
  }

  // The question first: No keeps the list, Yes on an empty list does nothing more; then the
  // report of both counts, with one of the files held open by another program or none.
  void wipeAsksAndReports() {
    enum Case { kDeclined, kEmptyList, kAllWiped, kOneHeld };
    for (const Case c : {kDeclined, kEmptyList, kAllWiped, kOneHeld}) {
      TabFixture f;
      const std::string free = f.Write("free", std::string(5000, 'a'));
      const std::string held = f.Write("held", "b");
      if (c != kEmptyList) {
        f.Browse("cmdWipeBrowse", {free, held});
      }
      // Another open descriptor is what "held open by another program" looks like here.
      const int other = c == kOneHeld ? open(held.c_str(), O_RDONLY) : -1;
      f.ui.AnswerMessage(c == kDeclined ? hv::MessageAnswer::kNo : hv::MessageAnswer::kYes);
      std::vector<Message> expected = {
          {"Are you sure you want to wipe the selected file(s)?", 36, "File Wiper"}};
      if (c == kAllWiped || c == kOneHeld) {
        f.ui.AnswerMessage(hv::MessageAnswer::kOk);
        expected.push_back(
            c == kOneHeld
                ? Message{"Successfully wiped 1 file(s).\r\nCould not delete 1 files!",
                          kExclamation, "File Wiper"}
                : Message{"Successfully wiped 2 file(s).\r\n", kInformation, "File Wiper"});
      }
      f.Click("cmdSWipe");
      if (other >= 0) {
        close(other);
      }
      QCOMPARE(f.ui.messages, expected);
      QCOMPARE(std::filesystem::exists(free), expected.size() == 1);
      QCOMPARE(std::filesystem::exists(held), c != kAllWiped);
      if (c != kAllWiped) {
        QCOMPARE(ReadFile(held), std::string("b"));
      }
      QCOMPARE(f.Entries("lstFileWipe").size(), c == kDeclined ? 2u : 0u);
    }
  }
};

HV_QTEST_MAIN(FileProtectionTabTest)
#include "FileProtectionTabTest.moc"
