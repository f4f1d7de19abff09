#include "crypt/modCrypt.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <set>

#include "FaultyFiles.h"
#include "ScriptedUserInterface.h"
#include "TempFolder.h"
#include "crypt/Crypto.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;

constexpr int kExclamation = 48;

class ModCryptTest : public testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& content) {
    return folder_.Write(name, content).string();
  }
  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

  // Every name in the folder: no temporary file may be left behind.
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_.Path())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  // Scripts an OK answer for each of count messages the step is to show.
  void AnswerOk(int count) {
    for (int i = 0; i < count; ++i) {
      ui_.AnswerMessage(MessageAnswer::kOk);
    }
  }

  static std::string Encrypted(std::string plain, const std::string& password) {
    Crypto().DataCrypt(plain, password, true);
    return plain;
  }

  void TearDown() override { EXPECT_TRUE(ui_.ScriptUsedUp()) << "a scripted answer was not used"; }

  test::TempFolder folder_;
  test::ScriptedUserInterface ui_;
  test::FaultyStreams streams_;
  test::UndeletableFiles files_;
  CryptContext context_{ui_, streams_, files_};
};

TEST_F(ModCryptTest, EncryptThenDecryptRestoresTheFile) {
  const std::string plain = std::string("report\0body\xff", 12);
  const std::string report = Write("report.doc", plain);
  std::string password;
  ui_.AnswerPassword("pw");
  ASSERT_TRUE(EncryptFile(context_, report, password, true));
  EXPECT_EQ(password, "pw");
  EXPECT_EQ(Names(), std::set<std::string>{"report.doc.vlt"});
  EXPECT_EQ(ReadFile(report + ".vlt"), Encrypted(plain, "pw"));
  ASSERT_EQ(ui_.events.size(), 1u);
  EXPECT_EQ(ui_.events[0], "password: Enter a password for the file: '" + report + "'. (confirm)");

  ui_.AnswerPassword("pw");
  password.clear();
  ASSERT_TRUE(DecryptFile(context_, report + ".vlt", password, true));
  EXPECT_EQ(Names(), std::set<std::string>{"report.doc"});
  EXPECT_EQ(ReadFile(report), plain);
  EXPECT_EQ(ui_.events[1], "password: Enter the password for the file: '" + report + ".vlt'.");
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ModCryptTest, EmptyFileBothWays) {
  const std::string empty = Write("empty", "");
  std::string password = "pw";
  ASSERT_TRUE(EncryptFile(context_, empty, password, false));
  EXPECT_EQ(Names(), std::set<std::string>{"empty.vlt"});
  EXPECT_EQ(fs::file_size(empty + ".vlt"), 0u);
  ASSERT_TRUE(DecryptFile(context_, empty + ".vlt", password, false));
  EXPECT_EQ(Names(), std::set<std::string>{"empty"});
  EXPECT_EQ(fs::file_size(empty), 0u);
}

TEST_F(ModCryptTest, WrongPasswordTouchesNothing) {
  const std::string vault = Write("report.doc.vlt", Encrypted("secret content", "right"));
  std::string password = "wrong";
  AnswerOk(1);
  EXPECT_FALSE(DecryptFile(context_, vault, password, false));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0],
            (test::ScriptedUserInterface::Message{
                "Invalid password for file: '" + vault + "' - the file was not decrypted!",
                kExclamation, "Invalid Pass"}));
  EXPECT_EQ(Names(), std::set<std::string>{"report.doc.vlt"});
  EXPECT_EQ(ReadFile(vault), Encrypted("secret content", "right"));
}

TEST_F(ModCryptTest, UpperCaseExtensionRefusedAfterThePassword) {
  const std::string vault = Write("REPORT.VLT", Encrypted("content", "pw"));
  std::string password;
  ui_.AnswerPassword("pw");
  AnswerOk(1);
  EXPECT_FALSE(DecryptFile(context_, vault, password, true));
  ASSERT_EQ(ui_.events.size(), 2u);
  EXPECT_EQ(ui_.events[0], "password: Enter the password for the file: '" + vault + "'.");
  EXPECT_EQ(ui_.messages[0],
            (test::ScriptedUserInterface::Message{"Could not decrypt the file: '" + vault + "'!",
                                                  kExclamation, "Hushvault"}));
  EXPECT_EQ(Names(), std::set<std::string>{"REPORT.VLT"});
}

TEST_F(ModCryptTest, UnreadableInputsGiveTheFailureMessage) {
  // Shorter than a digest, and a name that is not a file at all.
  const std::string shortVault = Write("short.vlt", "0123456789");
  fs::create_directory(PathOf("folder.vlt"));
  for (const std::string& path : {shortVault, PathOf("folder.vlt"), PathOf("missing.vlt")}) {
    ui_.messages.clear();
    AnswerOk(1);
    std::string password = "pw";
    EXPECT_FALSE(DecryptFile(context_, path, password, false)) << path;
    ASSERT_EQ(ui_.messages.size(), 1u) << path;
    EXPECT_EQ(ui_.messages[0].text, "Could not decrypt the file: '" + path + "'!");
  }
  EXPECT_EQ(ReadFile(shortVault), "0123456789");
  EXPECT_EQ(Names(), (std::set<std::string>{"short.vlt", "folder.vlt"}));
}

TEST_F(ModCryptTest, MissingFileIsReportedBeforeAnyPassword) {
  AnswerOk(1);
  std::string password;
  EXPECT_FALSE(EncryptFile(context_, PathOf("gone.txt"), password, true));
  ASSERT_EQ(ui_.events.size(), 1u) << "no password question";
  EXPECT_EQ(ui_.messages[0].text, "Could not encrypt the file: '" + PathOf("gone.txt") + "'!");
}

// Links and pipes as Linux makes them.
#ifndef _WIN32
TEST_F(ModCryptTest, LinksAndDevicesAreNotEncrypted) {
  const std::string target = Write("target.txt", "real");
  fs::create_symlink(target, PathOf("link.txt"));
  ASSERT_EQ(mkfifo(PathOf("pipe").c_str(), 0600), 0);
  AnswerOk(2);
  for (const std::string& path : {PathOf("link.txt"), PathOf("pipe")}) {
    std::string password = "pw";
    EXPECT_FALSE(EncryptFile(context_, path, password, false)) << path;
  }
  EXPECT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(Names(), (std::set<std::string>{"target.txt", "link.txt", "pipe"}));
}
#endif

TEST_F(ModCryptTest, ExistingOutputIsReplacedWhole) {
  const std::string plain = Write("a.txt", "short");
  Write("a.txt.vlt", std::string(10000, 'x'));
  std::string password = "pw";
  ASSERT_TRUE(EncryptFile(context_, plain, password, false));
  EXPECT_EQ(ReadFile(plain + ".vlt"), Encrypted("short", "pw"));

  Write("a.txt", std::string(10000, 'y'));
  ASSERT_TRUE(DecryptFile(context_, plain + ".vlt", password, false));
  EXPECT_EQ(ReadFile(plain), "short");
}

// Linux's access modes; Windows has only the read-only attribute.
#ifndef _WIN32
TEST_F(ModCryptTest, NewFileKeepsTheAccessRightsOfTheOld) {
  const std::string plain = Write("private.txt", "mine");
  fs::permissions(plain, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
  std::string password = "pw";
  ASSERT_TRUE(EncryptFile(context_, plain, password, false));
  EXPECT_EQ(fs::status(plain + ".vlt").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
}
#endif

TEST_F(ModCryptTest, FailureBeforeTheRenameLosesNothing) {
  struct Fault {
    const char* name;
    bool test::FaultyStreams::*flag;
  };
  const std::string plain = Write("data.bin", "precious");
  const std::string vault = Write("old.vlt", Encrypted("older", "pw"));
  for (const Fault fault : {Fault{"stage", &test::FaultyStreams::failStage},
                            Fault{"write", &test::FaultyStreams::failWrite},
                            Fault{"commit", &test::FaultyStreams::failCommit}}) {
    streams_ = {};
    streams_.*fault.flag = true;
    ui_.messages.clear();
    AnswerOk(2);
    std::string password = "pw";
    EXPECT_FALSE(EncryptFile(context_, plain, password, false)) << fault.name;
    EXPECT_FALSE(DecryptFile(context_, vault, password, false)) << fault.name;
    EXPECT_EQ(ui_.messages.size(), 2u) << fault.name;
    EXPECT_EQ(Names(), (std::set<std::string>{"data.bin", "old.vlt"})) << fault.name;
    EXPECT_EQ(ReadFile(plain), "precious") << fault.name;
    EXPECT_EQ(ReadFile(vault), Encrypted("older", "pw")) << fault.name;
  }
}

TEST_F(ModCryptTest, FailureToRemoveThePlainFileAfterTheRename) {
  const std::string plain = Write("kept.txt", "still here");
  files_.undeletable.insert(plain);
  AnswerOk(1);
  std::string password = "pw";
  EXPECT_TRUE(EncryptFile(context_, plain, password, false)) << "the file was encrypted";
  EXPECT_EQ(ReadFile(plain), "still here");
  EXPECT_EQ(ReadFile(plain + ".vlt"), Encrypted("still here", "pw"));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "The file: '" + plain + "' was encrypted to '" + plain +
                                      ".vlt', but the original file could not be deleted!");
  EXPECT_EQ(ui_.messages[0].style, kExclamation);
}

TEST_F(ModCryptTest, FailureToRemoveTheEncryptedFileAfterTheRename) {
  const std::string vault = Write("kept.txt.vlt", Encrypted("inside", "pw"));
  files_.undeletable.insert(vault);
  AnswerOk(1);
  std::string password = "pw";
  EXPECT_FALSE(DecryptFile(context_, vault, password, false));
  EXPECT_EQ(ReadFile(PathOf("kept.txt")), "inside");
  EXPECT_EQ(ReadFile(vault), Encrypted("inside", "pw"));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Could not decrypt the file: '" + vault + "'!");
}

// Windows takes no control characters in names, and the test's own file helpers do not
// pass ANSI bytes through unchanged there.
#ifndef _WIN32
TEST_F(ModCryptTest, NamesWithOddBytes) {
  const std::string name = std::string("odd \xff\x01 name 'quoted'.txt");
  const std::string plain = Write(name, "odd");
  std::string password = "pw";
  ASSERT_TRUE(EncryptFile(context_, plain, password, false));
  ASSERT_TRUE(DecryptFile(context_, plain + ".vlt", password, false));
  EXPECT_EQ(ReadFile(plain), "odd");
  EXPECT_EQ(Names(), std::set<std::string>{name});
}
#endif

// Batches.

TEST_F(ModCryptTest, SamePassBatchAsksOnceAndCounts) {
  const std::string a = Write("a", "alpha"), b = Write("b", "beta");
  ui_.AnswerPassword("common");
  EXPECT_EQ(EncryptFiles(context_, a + '\0' + b, true), 2);
  EXPECT_EQ(ui_.events, std::vector<std::string>{"password: Enter the password: (confirm)"});
  EXPECT_EQ(Names(), (std::set<std::string>{"a.vlt", "b.vlt"}));

  ui_.AnswerPassword("common");
  EXPECT_EQ(DecryptFiles(context_, a + ".vlt" + '\0' + b + ".vlt", true), 2);
  EXPECT_EQ(ui_.events.back(), "password: Enter the password:");
  EXPECT_EQ(ReadFile(a), "alpha");
  EXPECT_EQ(ReadFile(b), "beta");
}

TEST_F(ModCryptTest, SamePassCancelTouchesNothing) {
  const std::string a = Write("a", "alpha"), b = Write("b", "beta");
  ui_.AnswerPassword("");
  EXPECT_EQ(EncryptFiles(context_, a + '\0' + b, true), -1);
  ui_.AnswerPassword("");
  EXPECT_EQ(DecryptFiles(context_, a + '\0' + b, true), -1);
  EXPECT_EQ(Names(), (std::set<std::string>{"a", "b"}));
  EXPECT_EQ(streams_.stagings, 0);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ModCryptTest, PerFileCancelSkipsThatFileOnly) {
  const std::string a = Write("a", "alpha"), b = Write("b", "beta"), c = Write("c", "gamma");
  ui_.AnswerPassword("one");
  ui_.AnswerPassword("");
  ui_.AnswerPassword("three");
  EXPECT_EQ(EncryptFiles(context_, a + '\0' + b + '\0' + c, false), 2);
  EXPECT_EQ(Names(), (std::set<std::string>{"a.vlt", "b", "c.vlt"}));
  EXPECT_EQ(ReadFile(c + ".vlt"), Encrypted("gamma", "three"));
  EXPECT_TRUE(ui_.messages.empty()) << "a cancelled prompt gives no message";
}

TEST_F(ModCryptTest, BlankEntriesAreSkipped) {
  const std::string a = Write("a", "alpha"), b = Write("b", "beta");
  ui_.AnswerPassword("pw");
  const std::string list = std::string("\0", 1) + a + '\0' + "   " + '\0' + '\0' + b + '\0';
  EXPECT_EQ(EncryptFiles(context_, list, true), 2);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(Names(), (std::set<std::string>{"a.vlt", "b.vlt"}));
}

TEST_F(ModCryptTest, BatchGoesOnAfterAFailingFile) {
  const std::string a = Write("a.vlt", Encrypted("alpha", "pw"));
  const std::string b = Write("b.vlt", Encrypted("beta", "other"));
  const std::string c = Write("c.vlt", Encrypted("gamma", "pw"));
  AnswerOk(1);
  ui_.AnswerPassword("pw");
  EXPECT_EQ(DecryptFiles(context_, a + '\0' + b + '\0' + c, true), 2);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].title, "Invalid Pass");
  EXPECT_EQ(Names(), (std::set<std::string>{"a", "b.vlt", "c"}));
}

}  // namespace
}  // namespace hv
