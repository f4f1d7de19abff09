// Files given to the program on its command line, and a later start handing them to the
// one already running: the arguments read into lists, the message between the two, and
// the real program started a second time against an instance in this test.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "QtTestMain.h"
#include "TempFolder.h"
#include "app/OpenRequest.h"
#include "app/SingleInstance.h"

namespace {

using hv::FileList;
using hv::FileToOpen;
using Files = std::vector<FileToOpen>;
using Arguments = std::vector<std::string>;

const struct ArgumentCase {
  const char* what;
  Arguments arguments;
  Files files;
  std::string error;
} kArgumentCases[] = {
    {"by name",
     {"/a/report.doc", "/a/report.doc.vlt", "/a/UPPER.VLT"},
     {{FileList::kEncrypt, "/a/report.doc"},
      {FileList::kDecrypt, "/a/report.doc.vlt"},
      {FileList::kEncrypt, "/a/UPPER.VLT"}},
     ""},
    {"relative to the working folder",
     {"sub/x", "../y.vlt", "/abs"},
     {{FileList::kEncrypt, "/work/here/sub/x"},
      {FileList::kDecrypt, "/work/here/../y.vlt"},
      {FileList::kEncrypt, "/abs"}},
     ""},
    {"wipe, wherever the option stands",
     {"/a.vlt", "--wipe", "/b"},
     {{FileList::kWipe, "/a.vlt"}, {FileList::kWipe, "/b"}},
     ""},
    {"encrypt", {"--encrypt", "/a.vlt"}, {{FileList::kEncrypt, "/a.vlt"}}, ""},
    {"a name like an option after --",
     {"--", "-x", "--wipe"},
     {{FileList::kEncrypt, "/work/here/-x"}, {FileList::kEncrypt, "/work/here/--wipe"}},
     ""},
    {"odd bytes and empty arguments",
     {"", "/caf\xe9\x01"},
     {{FileList::kEncrypt, "/caf\xe9\x01"}},
     ""},
    {"no files", {}, {}, ""},
    {"unknown option", {"/a", "--shred"}, {}, "Unknown option: --shred"},
    {"two lists",
     {"--wipe", "--encrypt", "/a"},
     {},
     "--encrypt and --wipe cannot be given together."},
};

// A socket file at path with nobody behind it, as an instance that was killed leaves.
void LeaveStaleSocket(const QString& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray bytes = path.toLocal8Bit();
  std::copy(bytes.begin(), bytes.end(), address.sun_path);
  QVERIFY(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
  close(fd);
  QVERIFY(std::filesystem::exists(path.toStdString()));
}

struct Started {
  int exitCode;
  QString errors;
};

// Starts the program itself in folder, while this test's event loop keeps answering.
Started StartProgram(const QStringList& arguments, const QString& folder = QString()) {
  QProcess program;
  program.setProgram(HUSHVAULT_PROGRAM);
  program.setArguments(arguments);
  program.setWorkingDirectory(folder);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  program.setProcessEnvironment(environment);
  program.start();
  [&] { QTRY_VERIFY_WITH_TIMEOUT(program.state() == QProcess::NotRunning, 60000); }();
  return {program.exitCode(), QString::fromLocal8Bit(program.readAllStandardError())};
}

}  // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void argumentsSortFilesIntoLists_data() { hv::test::AddTableRows(kArgumentCases); }
  void argumentsSortFilesIntoLists() {
    QFETCH(int, row);
    const ArgumentCase& c = kArgumentCases[row];
    const hv::StartRequest request = hv::ParseArguments(c.arguments, "/work/here");
    QCOMPARE(request.error, c.error);
    QCOMPARE(request.files, c.files);
  }

  // The message carries every list and every byte; anything that is not such a message
  // reads as none.
  void messagesCarryBytesAndRefuseDamage() {
    const Files files = {{FileList::kEncrypt, "/a b"},
                         {FileList::kDecrypt, "/x\xff\x01.vlt"},
                         {FileList::kWipe, "/w"}};
    const QByteArray message = hv::EncodeFiles(files);
    QCOMPARE(hv::DecodeFiles(message), std::optional<Files>(files));
    QCOMPARE(hv::DecodeFiles(hv::EncodeFiles({})), std::optional<Files>(Files{}));
    for (const QByteArray& damaged :
         {message.chopped(1), QByteArray("GET / HTTP/1.0\r\n\r\n"), QByteArray(),
          hv::EncodeFiles({}) + QByteArray("x/a", 4), hv::EncodeFiles({}) + QByteArray("e\0", 2)}) {
      QVERIFY2(!hv::DecodeFiles(damaged), damaged.toPercentEncoding().constData());
    }
  }

  // A second start with files hands them over and ends at once; its relative names are
  // its own working folder's. Without files it only asks the first to show itself.
  void secondStartHandsItsFilesToTheFirst() {
    hv::SingleInstance first(hv::MeetingPointName());
    QCOMPARE(first.Begin({}), hv::SingleInstance::Start::kFirst);
    std::vector<Files> received;
    first.SetReceiver([&](const Files& files) { received.push_back(files); });
    const hv::test::TempFolder folder;
    const std::string here = folder.Path().string();

    const Started withFiles =
        StartProgram({"notes.txt", "/x/notes.txt.vlt"}, folder.Path().c_str());
    QCOMPARE(withFiles.exitCode, 0);
    const Started withoutFiles = StartProgram({});
    QCOMPARE(withoutFiles.exitCode, 0);
    QCOMPARE(received, (std::vector<Files>{{{FileList::kEncrypt, here + "/notes.txt"},
                                            {FileList::kDecrypt, "/x/notes.txt.vlt"}},
                                           {}}));
  }

  // Files that come before the window is ready wait for it.
  void filesWaitForTheReceiver() {
    hv::SingleInstance first(hv::MeetingPointName());
    QCOMPARE(first.Begin({}), hv::SingleInstance::Start::kFirst);
    QCOMPARE(StartProgram({"--wipe", "/w"}).exitCode, 0);
    std::vector<Files> received;
    first.SetReceiver([&](const Files& files) { received.push_back(files); });
    QCOMPARE(received, (std::vector<Files>{{{FileList::kWipe, "/w"}}}));
  }

  // The socket of an instance that ended without removing it does not stop the next one
  // from becoming the instance, and later starts reach that one.
  void staleSocketIsTakenOver() {
    LeaveStaleSocket(hv::MeetingPointName());
    hv::SingleInstance first(hv::MeetingPointName());
    QCOMPARE(first.Begin({}), hv::SingleInstance::Start::kFirst);
    std::vector<Files> received;
    first.SetReceiver([&](const Files& files) { received.push_back(files); });
    QCOMPARE(StartProgram({"/a"}).exitCode, 0);
    QCOMPARE(received, (std::vector<Files>{{{FileList::kEncrypt, "/a"}}}));
  }

  // What reaches the socket but is no handover from a start of this program (another
  // program's bytes, a length beyond any list) is dropped unanswered, and opens nothing.
  void foreignMessagesAreRefused() {
    hv::SingleInstance first(hv::MeetingPointName());
    QCOMPARE(first.Begin({}), hv::SingleInstance::Start::kFirst);
    std::vector<Files> received;
    first.SetReceiver([&](const Files& files) { received.push_back(files); });
    for (const QByteArray& bytes :
         {QByteArray("\0\0\0\x05hello", 9), QByteArray("\xff\xff\xff\xff")}) {
      QLocalSocket socket;
      socket.connectToServer(hv::MeetingPointName());
      QTRY_COMPARE(socket.state(), QLocalSocket::ConnectedState);
      socket.write(bytes);
      QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
      QCOMPARE(socket.readAll(), QByteArray());
    }
    QVERIFY(received.empty());
  }

  // The file manager actions start the program with arguments it reads into the list each
  // action is named for.
  void fileManagerActionsNameTheirList() {
    const struct {
      const char* file;
      const char* line;  // how the command line starts
      FileList list;
    } actions[] = {
        {"dist/nautilus/Encrypt with Hushvault", "exec hushvault ", FileList::kEncrypt},
        {"dist/nautilus/Wipe with Hushvault", "exec hushvault ", FileList::kWipe},
        {"dist/dolphin/hushvault.desktop", "Exec=hushvault --encrypt", FileList::kEncrypt},
        {"dist/dolphin/hushvault.desktop", "Exec=hushvault --wipe", FileList::kWipe},
    };
    for (const auto& action : actions) {
      QFile file(QString(HUSHVAULT_SOURCE_DIR "/") + action.file);
      QVERIFY2(file.open(QIODevice::ReadOnly), action.file);
      const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
      const auto command = std::find_if(lines.begin(), lines.end(), [&](const QString& line) {
        return line.startsWith(action.line);
      });
      QVERIFY2(command != lines.end(), action.line);
      // The words after the program's name, with the file manager's files put in.
      QStringList words = command->split(' ', Qt::SkipEmptyParts);
      while (!words.isEmpty() && !words.takeFirst().endsWith("hushvault")) {
      }
      Arguments arguments;
      for (const QString& word : words) {
        const bool files = word == "%F" || word == "\"$@\"";
        arguments.push_back(files ? "/chosen.vlt" : word.toStdString());
      }
      const hv::StartRequest request = hv::ParseArguments(arguments, "/");
      QCOMPARE(request.error, std::string());
      QCOMPARE(request.files, (Files{{action.list, "/chosen.vlt"}}));
    }
  }

  // Arguments that make no sense end the start with the reason and the usage, before it
  // looks for another instance or opens a window.
  void badArgumentsEndWithTheUsage() {
    const Started started = StartProgram({"--shred", "/a"});
    QCOMPARE(started.exitCode, 2);
    QVERIFY2(started.errors.startsWith("Unknown option: --shred\nUsage: hushvault"),
             qPrintable(started.errors));
  }
};

HV_QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
