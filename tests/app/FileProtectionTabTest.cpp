// The File Protection tab on its own, offscreen: file choice through a scripted dialog,
// passwords and messages through the scripted user interface, real files in a temporary
// folder.
#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "CryptTestData.h"
#include "QtTestMain.h"
#include "RecordingFileSystem.h"
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

// Holds the thread of a command's work at a chosen moment until the test lets it go, so
// that the test can act (press Cancel) while the work is surely in the middle of a file.
class Gate {
 public:
  // On the work's thread: tells that it got here and waits to be let go.
  void Reach() {
    std::unique_lock lock(mutex_);
    reached_ = true;
    changed_.notify_all();
    // Never forever: a test that fails to let go still ends.
    changed_.wait_for(lock, std::chrono::seconds(30), [this] { return open_; });
  }
  bool Reached() {
    const std::lock_guard lock(mutex_);
    return reached_;
  }
  void Open() {
    const std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool reached_ = false;
  bool open_ = false;
};

// The real file streams, with reading held at the gate once holdAfter bytes of a file
// were read.
struct GatedStreams : hv::FileStreams {
  Gate gate;
  std::size_t holdAfter = 1 << 20;

  std::unique_ptr<hv::InputStream> OpenForReading(const std::string& path) override {
    struct Gated : hv::InputStream {
      std::unique_ptr<hv::InputStream> inner;
      GatedStreams* owner;
      std::size_t read = 0;
      uint64_t Length() const override { return inner->Length(); }
      std::optional<size_t> Read(std::span<std::byte> buffer) override {
        if (read >= owner->holdAfter) {
          owner->gate.Reach();
        }
        const auto count = inner->Read(buffer);
        read += count.value_or(0);
        return count;
      }
    };
    auto inner = hv::NativeFileStreams().OpenForReading(path);
    if (!inner) {
      return nullptr;
    }
    auto gated = std::make_unique<Gated>();
    gated->inner = std::move(inner);
    gated->owner = this;
    return gated;
  }
  std::unique_ptr<hv::StagedFile> Stage(const std::string& finalPath,
                                        const std::string& rightsFrom) override {
    return hv::NativeFileStreams().Stage(finalPath, rightsFrom);
  }
};

QWidget* TopLevel(const char* name) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == name && widget->isVisible()) {
      return widget;
    }
  }
  return nullptr;
}

// Saves what a widget shows, for a person to look at, when HUSHVAULT_SCREENSHOTS names a
// folder.
void Screenshot(QWidget& widget, const char* name) {
  const QString folder = qEnvironmentVariable("HUSHVAULT_SCREENSHOTS");
  if (!folder.isEmpty()) {
    widget.grab().save(folder + "/" + name + ".png");
  }
}

// Once the work waits at the gate: checks what the progress window shows, presses its
// Cancel and lets the work go on. Runs from the window's event loop while the command works.
void CancelAtTheGate(Gate& gate, const QString& counts, const char* screenshot) {
  QTRY_VERIFY(gate.Reached());
  QWidget* progress = TopLevel("frmProgress");
  QVERIFY(progress != nullptr);
  QTRY_COMPARE(progress->findChild<QLabel*>("lblCounts")->text().left(counts.size()), counts);
  QVERIFY(progress->findChild<QProgressBar*>("barDone")->value() > 0);
  Screenshot(*progress, screenshot);
  progress->findChild<QPushButton*>("cmdCancel")->click();
  gate.Open();
}

// One tab with everything it reaches scripted or sandboxed.
struct TabFixture {
  hv::test::TempFolder folder;
  hv::test::ScriptedUserInterface ui;
  GatedStreams streams;
  hv::test::RecordingFileSystem files{hv::NativeFileSystem()};
  Files chosen;
  // Strong files at the cheapest cost the format allows: the format is the same.
  hv::FileProtectionTab tab{
      hv::CryptContext{.ui = ui, .streams = streams, .files = files, .strongCost = {1, 8192}},
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

  // Drags data over a list and drops it there as a file manager would; whether the list
  // took the drag.
  bool Drop(const char* list, const QList<QUrl>& urls) {
    QWidget* target = tab.findChild<QListWidget*>(list)->viewport();
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data,
                          Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
      return false;
    }
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();  // the drop's files are taken after the drop ended
    return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
  }
};

QUrl FileUrl(const std::string& path) {
  return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
}

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
    // The window is disabled while the work runs; the questions come in order all the same.
    QCOMPARE(f.ui.events, (Files{"disable", "password: Enter the password: (confirm)", "enable",
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

  // Files dropped from a file manager join the list, after its entries and once each, with
  // their bytes kept; a folder is refused with a message; addresses of anything but a local
  // file are ignored, and a drag of nothing else is refused.
  void dropsTakeFilesOnly() {
    TabFixture f;
    const std::string a = f.Write("a.txt", "a"), odd = f.Write("caf\xe9.txt", "b");
    const std::string oddShown = (f.folder.Path() / "caf\xef\xbf\xbd.txt").string();
    const std::string folder = f.folder.Path().string();
    QVERIFY(f.Drop("lstFileWipe", {FileUrl(a)}));
    QVERIFY(f.Drop("lstFileWipe", {QUrl("https://example.org/a.txt"), FileUrl(odd), FileUrl(a)}));
    QCOMPARE(f.Entries("lstFileWipe"), (Files{a, oddShown}));
    QVERIFY(!f.Drop("lstFileWipe", {QUrl("https://example.org/page")}));
    QVERIFY(f.ui.messages.empty());
    Screenshot(f.tab, "drop");

    f.ui.AnswerMessage(MessageAnswer::kOk);
    QVERIFY(f.Drop("lstFileEncrypt", {FileUrl(folder), FileUrl(a)}));
    QCOMPARE(f.Entries("lstFileEncrypt"), Files{a});
    QCOMPARE(
        f.ui.messages,
        (std::vector<Message>{{"Only files can be added to the list; these were left out:\r\n'" +
                                   folder + "' - a folder",
                               kExclamation, "Hushvault"}}));

    // The file with the odd name is wiped by its own bytes.
    f.ui.AnswerMessage(MessageAnswer::kYes);
    f.ui.AnswerMessage(MessageAnswer::kOk);
    f.Click("cmdSWipe");
    QCOMPARE(f.ui.messages.back().text, std::string("Successfully wiped 2 file(s).\r\n"));
    QVERIFY(!std::filesystem::exists(odd));
  }

  // Files handed to the program go to the list each names; names that lead nowhere are
  // left out and named in one message.
  void handedFilesGoToTheirLists() {
    TabFixture f;
    const std::string plain = f.Write("plain", "p"), vault = f.Write("v.vlt", "v");
    const std::string missing = (f.folder.Path() / "missing").string();
    f.ui.AnswerMessage(MessageAnswer::kOk);
    f.tab.AddFiles({{hv::FileList::kEncrypt, plain},
                    {hv::FileList::kDecrypt, vault},
                    {hv::FileList::kWipe, missing},
                    {hv::FileList::kWipe, plain}});
    QCOMPARE(f.Entries("lstFileEncrypt"), Files{plain});
    QCOMPARE(f.Entries("lstFileDecrypt"), Files{vault});
    QCOMPARE(f.Entries("lstFileWipe"), Files{plain});
    QCOMPARE(f.ui.messages.size(), std::size_t{1});
    QCOMPARE(f.ui.messages[0].text,
             "Only files can be added to the list; these were left out:\r\n'" + missing +
                 "' - not found");
  }

  // Cancel while a large file is being encrypted: the file stays as it was and nothing of
  // its encrypted form is left; the file after it is not begun; the report says what was
  // done, and both files stay in the list for another run.
  void cancelDuringEncryptionLosesNothing() {
    TabFixture f;
    const std::string first = f.Write("first", "done before the cancel");
    const std::string large = f.Write("large", hv::test::RandomBytes(8 << 20, 3));
    const std::string last = f.Write("last", "never begun");
    f.streams.holdAfter = 1 << 20;
    // Only the large file is read that far.
    f.Browse("cmdEncBrowse", {first, large, last});
    f.ui.AnswerPassword("pw");
    f.ui.AnswerMessage(MessageAnswer::kOk);
    QTimer::singleShot(0, [&] { CancelAtTheGate(f.streams.gate, "File 2 of 3", "progress"); });
    f.Click("cmdEncrypt");
    QVERIFY(f.streams.gate.Reached());
    QCOMPARE(f.ui.messages,
             (std::vector<Message>{{"Successfully encrypted 1 file(s).\r\nStopped: 2 file(s) "
                                    "were left as they were.",
                                    64, "Encrypt"}}));
    QCOMPARE(hv::test::NamesIn(f.folder.Path()),
             (std::set<std::string>{"first.vlt", "large", "last"}));
    QCOMPARE(ReadFile(large), hv::test::RandomBytes(8 << 20, 3));
    QCOMPARE(f.Entries("lstFileEncrypt"), (Files{large, last}));
    QVERIFY(f.ui.enabled);
  }

  // Cancel while a large file is being wiped: that file is wiped to its end (half of it
  // overwritten would be neither kept nor gone), the files after it are left untouched and
  // stay in the list, and the report says so.
  void cancelDuringWipeFinishesTheFileAtWork() {
    TabFixture f;
    const std::string large = f.Write("large", std::string(4 << 20, 'L'));
    const std::string next = f.Write("next", "keep");
    Gate gate;
    f.files.beforeTruncation = [&] { gate.Reach(); };
    f.Browse("cmdWipeBrowse", {large, next});
    f.ui.AnswerMessage(MessageAnswer::kYes);
    f.ui.AnswerMessage(MessageAnswer::kOk);
    QTimer::singleShot(0, [&] { CancelAtTheGate(gate, "File 1 of 2", "wipe-progress"); });
    f.Click("cmdSWipe");
    QVERIFY(gate.Reached());
    QCOMPARE(f.ui.messages.back(),
             (Message{"Successfully wiped 1 file(s).\r\nStopped: 1 file(s) were left as they were.",
                      64, "File Wiper"}));
    QVERIFY(!std::filesystem::exists(large));
    QCOMPARE(ReadFile(next), std::string("keep"));
    QCOMPARE(f.Entries("lstFileWipe"), Files{next});
  }
};

HV_QTEST_MAIN(FileProtectionTabTest)
#include "FileProtectionTabTest.moc"
