#include "crypt/modCrypt.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "HeldByAnotherProcess.h"
#include "platform/posix/PosixFileSystem.h"
#else
#include "platform/win32/Win32FileSystem.h"
#endif

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <tuple>

#include "CryptTestData.h"
#include "RecordingProgress.h"
#include "ScriptedUserInterface.h"
#include "TempFolder.h"
#include "crypt/StrongCipher.h"
#include "platform/FileStreams.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::Encrypted;
using test::RandomBytes;
using test::ReadFile;
using Message = test::ScriptedUserInterface::Message;
using Names = std::set<std::string>;

constexpr int kExclamation = 48;

#ifdef _WIN32
using NativeFileSystemType = Win32FileSystem;
#else
using NativeFileSystemType = PosixFileSystem;
#endif

// The real file streams, with a failure injected at one step, and a look at each write.
struct FaultyStreams : FileStreams {
  // The folder takes no new file; the disk is full; the data were written but never renamed
  // into place (dropped as after a crash or a failed flush).
  enum Fault { kNone, kStage, kWrite, kCommit } fault = kNone;
  int stagings = 0;
  // Called after each write with the count of bytes staged so far.
  std::function<void(std::size_t)> afterWrite = [](std::size_t) {};

  std::unique_ptr<InputStream> OpenForReading(const std::string& path) override {
    return NativeFileStreams().OpenForReading(path);
  }
  std::unique_ptr<StagedFile> Stage(const std::string& finalPath,
                                    const std::string& rightsFrom) override {
    struct Staged : StagedFile {
      std::unique_ptr<StagedFile> inner;
      FaultyStreams* owner;
      std::size_t written = 0;
      bool Write(std::span<const std::byte> data) override {
        if (owner->fault == kWrite || !inner->Write(data)) {
          return false;
        }
        owner->afterWrite(written += data.size());
        return true;
      }
      bool Commit() override { return owner->fault != kCommit && inner->Commit(); }
    };
    ++stagings;
    auto staged = std::make_unique<Staged>();
    staged->inner = NativeFileStreams().Stage(finalPath, rightsFrom);
    staged->owner = this;
    return fault == kStage ? nullptr : std::move(staged);
  }
};

// The real file system, except that deleting one of the listed paths fails.
struct UndeletableFiles : NativeFileSystemType {
  std::set<std::string> undeletable;
  bool DeleteFile(const std::string& path) override {
    return !undeletable.contains(path) && NativeFileSystemType::DeleteFile(path);
  }
};

class ModCryptTest : public testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& content) {
    return folder_.Write(name, content).string();
  }
  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

  // Every name in the folder: no temporary file may be left behind.
  Names InFolder() const { return test::NamesIn(folder_.Path()); }

  void TearDown() override { EXPECT_TRUE(ui_.ScriptUsedUp()); }

  test::TempFolder folder_;
  test::ScriptedUserInterface ui_;
  FaultyStreams streams_;
  UndeletableFiles files_;
  CryptContext context_{ui_, streams_, files_};
};

// A ".vlt" or plain file already there is replaced whole; the new file takes the old one's
// rights; an empty file stays empty.
TEST_F(ModCryptTest, EncryptThenDecryptRestoresTheFile) {
#ifndef _WIN32  // Windows takes no control characters in names
  const std::string odd = "odd \xff\x01 name 'quoted'.txt";
#else
  const std::string odd = "report.doc";
#endif
  for (const auto& [name, plain] : {std::pair{odd, std::string("report\0body\xff", 12)},
                                    std::pair{std::string("empty"), std::string()}}) {
    const std::string path = Write(name, plain);
    Write(name + ".vlt", std::string(10000, 'x'));
#ifndef _WIN32  // Linux's access modes; Windows has only the read-only attribute
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::replace);
#endif
    ui_.events.clear();
    ui_.AnswerPassword("pw");
    std::string password;
    ASSERT_TRUE(EncryptFile(context_, path, password, true)) << name;
    EXPECT_EQ(password, "pw");
    EXPECT_EQ(InFolder(), Names{name + ".vlt"});
    EXPECT_EQ(ReadFile(path + ".vlt"), Encrypted(plain, "pw"));
#ifndef _WIN32
    EXPECT_EQ(fs::status(path + ".vlt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
#endif

    Write(name, std::string(10000, 'y'));
    ui_.AnswerPassword("pw");
    ASSERT_TRUE(DecryptFile(context_, path + ".vlt", password, true)) << name;
    EXPECT_EQ(InFolder(), Names{name});
    EXPECT_EQ(ReadFile(path), plain);
    EXPECT_EQ(ui_.events, (std::vector<std::string>{
                              "password: Enter a password for the file: '" + path + "'. (confirm)",
                              "password: Enter the password for the file: '" + path + ".vlt'."}));
    fs::remove(path);
  }
}

// A password is keyed from its Windows-1252 bytes where every character has one, as the
// program's Windows versions did ("Müller": 4d fc 6c 6c 65 72), from UTF-8 otherwise; a file
// keyed either way opens with the password as typed.
TEST_F(ModCryptTest, PasswordsOutsideAsciiKeyAsOnWindows) {
  const std::string cyrillic = "\xd0\x9f\xd0\xb0\xd1\x80\xd0\xbe\xd0\xbb\xd1\x8c";
  const struct {
    std::string typed, keyedWith;
    bool newFiles;  // new files are keyed so, or only older ones of this program were
  } cases[] = {
      {"M\xc3\xbcller", "\x4d\xfc\x6c\x6c\x65\x72", true},
      {"M\xc3\xbcller", "M\xc3\xbcller", false},
      {cyrillic, cyrillic, true},
      {"M\xfcller", "M\xfcller", true},  // not UTF-8: byte for byte
  };
  const std::string plain = PathOf("file.txt");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed + " keyed with " + c.keyedWith);
    Write("file.txt.vlt", Encrypted("content", c.keyedWith));
    std::string password = c.typed;
    ASSERT_TRUE(DecryptFile(context_, plain + ".vlt", password, false));
    EXPECT_EQ(InFolder(), Names{"file.txt"});
    EXPECT_EQ(ReadFile(plain), "content");
    if (c.newFiles) {
      ASSERT_TRUE(EncryptFile(context_, plain, password, false));
      EXPECT_EQ(ReadFile(plain + ".vlt"), Encrypted("content", c.keyedWith));
    }
    fs::remove(plain);
  }
}

// The password is asked only once the file could be opened.
TEST_F(ModCryptTest, RefusedFilesAreLeftAsTheyWere) {
  const std::string vault = Encrypted("secret content", "right");
  Write("wrong.vlt", vault);
  Write("umlaut.vlt", vault);
  Write("REPORT.VLT", vault);
  Write("short.vlt", "0123456789");
  Write("target.txt", "real");
  fs::create_directory(PathOf("folder.vlt"));
  // The name, whether it is encrypted, and the password typed.
  std::vector<std::tuple<std::string, bool, std::optional<std::string>>> refusals = {
      {"wrong.vlt", false, "wrong"},  {"umlaut.vlt", false, "M\xc3\xbcller"},
      {"REPORT.VLT", false, "right"}, {"short.vlt", false, "right"},
      {"folder.vlt", false, {}},      {"missing.txt", true, {}}};
#ifndef _WIN32  // links and pipes as Linux makes them
  fs::create_symlink(PathOf("target.txt"), PathOf("link.txt"));
  ASSERT_EQ(mkfifo(PathOf("pipe").c_str(), 0600), 0);
  refusals.insert(refusals.end(), {{"link.txt", true, {}}, {"pipe", true, {}}});
#endif
  const Names before = InFolder();
  for (const auto& [name, encrypt, typed] : refusals) {
    const std::string path = PathOf(name);
    ui_.events.clear();
    ui_.messages.clear();
    if (typed) {
      ui_.AnswerPassword(*typed);
    }
    ui_.AnswerMessage(MessageAnswer::kOk);
    std::string password;
    EXPECT_FALSE(encrypt ? EncryptFile(context_, path, password, true)
                         : DecryptFile(context_, path, password, true))
        << name;
    EXPECT_EQ(ui_.events.size(), typed ? 2u : 1u) << name;
    const Message expected =
        typed && *typed != "right"
            ? Message{"Invalid password for file: '" + path + "' - the file was not decrypted!",
                      kExclamation, "Invalid Pass"}
            : Message{std::string("Could not ") + (encrypt ? "en" : "de") + "crypt the file: '" +
                          path + "'!",
                      kExclamation, "Hushvault"};
    EXPECT_EQ(ui_.messages, std::vector<Message>{expected}) << name;
  }
  EXPECT_EQ(InFolder(), before);
  EXPECT_EQ(ReadFile(PathOf("wrong.vlt")), vault);
  EXPECT_EQ(ReadFile(PathOf("short.vlt")), "0123456789");
}

TEST_F(ModCryptTest, FailureBeforeTheRenameLosesNothing) {
  const std::string plain = Write("data.bin", "precious");
  const std::string vault = Write("old.vlt", Encrypted("older", "pw"));
  for (const auto fault : {FaultyStreams::kStage, FaultyStreams::kWrite, FaultyStreams::kCommit}) {
    streams_.fault = fault;
    ui_.messages.clear();
    ui_.AnswerMessage(MessageAnswer::kOk);
    ui_.AnswerMessage(MessageAnswer::kOk);
    std::string password = "pw";
    EXPECT_FALSE(EncryptFile(context_, plain, password, false));
    EXPECT_FALSE(DecryptFile(context_, vault, password, false));
    EXPECT_EQ(ui_.messages.size(), 2u);
    EXPECT_EQ(InFolder(), (Names{"data.bin", "old.vlt"}));
    EXPECT_EQ(ReadFile(plain), "precious");
    EXPECT_EQ(ReadFile(vault), Encrypted("older", "pw"));
  }
}

// Encrypting counts as done (the file is safe in its ".vlt"), decrypting does not.
TEST_F(ModCryptTest, FailureToRemoveTheOldFileAfterTheRename) {
  const std::string plain = Write("kept.txt", "still here");
  const std::string vault = Write("other.txt.vlt", Encrypted("inside", "pw"));
  files_.undeletable = {plain, vault};
  ui_.AnswerMessage(MessageAnswer::kOk);
  ui_.AnswerMessage(MessageAnswer::kOk);
  std::string password = "pw";
  EXPECT_TRUE(EncryptFile(context_, plain, password, false));
  EXPECT_FALSE(DecryptFile(context_, vault, password, false));
  EXPECT_EQ(ReadFile(plain), "still here");
  EXPECT_EQ(ReadFile(plain + ".vlt"), Encrypted("still here", "pw"));
  EXPECT_EQ(ReadFile(PathOf("other.txt")), "inside");
  EXPECT_EQ(ReadFile(vault), Encrypted("inside", "pw"));
  EXPECT_EQ(ui_.messages,
            (std::vector<Message>{
                {"The file: '" + plain + "' was encrypted to '" + plain +
                     ".vlt', but the original file could not be deleted!",
                 kExclamation, "Hushvault"},
                {"Could not decrypt the file: '" + vault + "'!", kExclamation, "Hushvault"}}));
}

#ifndef _WIN32
// What the other program writes after the encryption must not go with a deleted name.
TEST_F(ModCryptTest, FileHeldOpenByAnotherProgramIsEncryptedButKept) {
  const std::string plain = Write("live.db", "in use");
  const test::HeldByAnotherProcess holder(plain);
  ui_.AnswerMessage(MessageAnswer::kOk);
  std::string password = "pw";
  EXPECT_TRUE(EncryptFile(context_, plain, password, false));
  EXPECT_EQ(ReadFile(plain), "in use");
  EXPECT_EQ(ReadFile(plain + ".vlt"), Encrypted("in use", "pw"));
  EXPECT_EQ(ui_.messages,
            (std::vector<Message>{{"The file: '" + plain + "' was encrypted to '" + plain +
                                       ".vlt', but the original file could not "
                                       "be deleted!",
                                   kExclamation, "Hushvault"}}));
}
#endif

// Large enough to be flushed to the disk while it is still being written; dropped before
// the commit, nothing of it stays.
TEST_F(ModCryptTest, StagedFileHoldsAllThatWasWrittenOnlyOnceCommitted) {
  const std::string target = PathOf("large.bin");
  std::string piece(1 << 20, '\0');
  for (const bool commit : {false, true}) {
    auto staged = NativeFileStreams().Stage(target, target);
    ASSERT_NE(staged, nullptr);
    std::string all;
    for (int n = 0; n < 65; ++n) {
      std::fill(piece.begin(), piece.end(), static_cast<char>(n));
      ASSERT_TRUE(staged->Write(std::as_bytes(std::span(piece))));
      all += piece;
    }
    if (commit) {
      ASSERT_TRUE(staged->Commit());
      EXPECT_EQ(ReadFile(target), all);
    }
    staged.reset();
    EXPECT_EQ(InFolder(), commit ? Names{"large.bin"} : Names{});
  }
}

#ifndef _WIN32
// Nothing of the new file, plain or encrypted, can be found in the folder before it is
// complete.
TEST_F(ModCryptTest, NewFileHasNoNameWhileItIsWritten) {
  const std::string plain = Write("big.bin", test::RandomBytes(3 << 20, 7));
  Names seen;
  streams_.afterWrite = [&](std::size_t) { seen.merge(InFolder()); };
  std::string password = "pw";
  ASSERT_TRUE(EncryptFile(context_, plain, password, false));
  ASSERT_TRUE(DecryptFile(context_, plain + ".vlt", password, false));
  EXPECT_EQ(seen, (Names{"big.bin", "big.bin.vlt"}));
}

// The process dies in the middle of writing the new file: the folder holds what it held.
TEST_F(ModCryptTest, KilledWhileWritingLeavesTheFolderAsItWas) {
  const std::string content = test::RandomBytes(16 << 20, 8);
  const std::string plain = Write("plain.bin", content);
  const std::string vault = Write("vault.bin.vlt", Encrypted(content, "pw"));
  streams_.afterWrite = [](std::size_t written) {
    if (written > (4 << 20)) {
      raise(SIGKILL);
    }
  };
  const Names before = InFolder();
  for (const bool encrypt : {true, false}) {
    const pid_t child = fork();
    if (child == 0) {
      std::string password = "pw";
      encrypt ? EncryptFile(context_, plain, password, false)
              : DecryptFile(context_, vault, password, false);
      _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << encrypt;
    EXPECT_EQ(InFolder(), before) << encrypt;
  }
  EXPECT_EQ(ReadFile(plain), content);
  EXPECT_EQ(ReadFile(vault), Encrypted(content, "pw"));
}
#endif

// A cancelled common password touches nothing; one given serves every file, blank entries
// skipped; a cancelled per-file password skips its file. None of it gives a message.
TEST_F(ModCryptTest, Batches) {
  const std::string a = Write("a", "alpha"), b = Write("b", "beta");
  ui_.AnswerPassword("");
  EXPECT_EQ(EncryptFiles(context_, a + '\0' + b, true), -1);
  EXPECT_EQ(streams_.stagings, 0);
  ui_.AnswerPassword("common");
  const std::string blanks = std::string("\0", 1) + "   " + '\0' + '\0';
  EXPECT_EQ(EncryptFiles(context_, blanks + a + blanks + b + '\0', true), 2);
  ui_.AnswerPassword("");
  ui_.AnswerPassword("common");
  EXPECT_EQ(DecryptFiles(context_, a + ".vlt" + '\0' + b + ".vlt", false), 1);
  EXPECT_EQ(InFolder(), (Names{"a.vlt", "b"}));
  EXPECT_EQ(ReadFile(a + ".vlt"), Encrypted("alpha", "common"));
  EXPECT_EQ(ReadFile(b), "beta");
  EXPECT_TRUE(ui_.messages.empty());
}

// Cancel in the middle of a large file, encrypting or decrypting: the source stays byte
// for byte, nothing of the new file is left under any name, no message is shown, and the
// file is reported as not done.
TEST_F(ModCryptTest, StopInTheMiddleOfALargeFileLeavesItAsItWas) {
  constexpr std::size_t kLarge = 8 << 20;
  const std::string content = test::RandomBytes(kLarge, 9);
  const struct {
    const char* what;
    std::string name;
    std::string bytes;
    int (*run)(CryptContext&, const std::string&, bool);
  } cases[] = {
      {"encrypt", "large.bin", content, EncryptFiles},
      {"decrypt", "large.bin.vlt", Encrypted(content, "pw"), DecryptFiles},
  };
  for (const auto& c : cases) {
    const std::string path = Write(c.name, c.bytes);
    test::RecordingProgress progress;
    progress.stopIn = path;
    progress.stopAfterBytes = 1 << 20;
    CryptContext context{ui_, streams_, files_, progress};
    ui_.AnswerPassword("pw");
    EXPECT_EQ(c.run(context, path, true), 0) << c.what;
    EXPECT_EQ(InFolder(), Names{c.name}) << c.what;
    EXPECT_EQ(ReadFile(path), c.bytes) << c.what;
    EXPECT_TRUE(ui_.messages.empty()) << c.what;
    EXPECT_EQ(progress.events,
              (std::vector<std::string>{"begin " + path, "end " + path + " not done"}))
        << c.what;
    // Stopped at a piece boundary soon after the request, well before the end.
    EXPECT_LT(progress.advanced, kLarge / 2) << c.what;
    fs::remove(path);
  }
}

// A batch reports each file; once a stop is asked for, the file at work is given up and
// no later file is begun.
TEST_F(ModCryptTest, StopEndsABatchBetweenFiles) {
  const std::string small = Write("small", "first");
  const std::string large = Write("large", test::RandomBytes(4 << 20, 10));
  const std::string last = Write("last", "third");
  test::RecordingProgress progress;
  progress.stopIn = large;
  progress.stopAfterBytes = 256 << 10;
  CryptContext context{ui_, streams_, files_, progress};
  ui_.AnswerPassword("pw");
  EXPECT_EQ(EncryptFiles(context, small + '\0' + large + '\0' + last, true), 1);
  EXPECT_EQ(progress.events,
            (std::vector<std::string>{"begin " + small, "end " + small + " done", "begin " + large,
                                      "end " + large + " not done"}));
  EXPECT_EQ(InFolder(), (Names{"small.vlt", "large", "last"}));
  EXPECT_EQ(ReadFile(last), "third");
}

// New files in the strong format, at the cheapest cost it allows: the format is the same.
void UseStrongFormat(CryptContext& context) {
  context.strong = true;
  context.strongCost = {.passes = 1, .memoryBytes = 8192};
}

// The setting chooses the format of new files; decryption reads either whatever it says.
TEST_F(ModCryptTest, TheSettingChoosesTheFormatAndDecryptionReadsBoth) {
  UseStrongFormat(context_);
  const std::string plain = RandomBytes(100000, 1);
  for (const bool strong : {true, false}) {
    for (const bool readStrong : {true, false}) {
      SCOPED_TRACE(testing::Message()
                   << "written strong " << strong << ", read with strong " << readStrong);
      const std::string path = Write("data.bin", plain);
      context_.strong = strong;
      std::string password = "pw";
      ASSERT_TRUE(EncryptFile(context_, path, password, false));
      const std::string vault = ReadFile(path + ".vlt");
      if (strong) {
        EXPECT_TRUE(vault.starts_with("HVSTRONG\x01"));
        EXPECT_EQ(vault.size(), kStrongHeaderSize + 2 * 17 + plain.size());
      } else {
        EXPECT_EQ(vault, Encrypted(plain, "pw"));
      }
      context_.strong = readStrong;
      ASSERT_TRUE(DecryptFile(context_, path + ".vlt", password, false));
      EXPECT_EQ(InFolder(), Names{"data.bin"});
      EXPECT_EQ(ReadFile(path), plain);
      fs::remove(path);
    }
  }
}

// A wrong password or any damage shows "Invalid Pass"; nothing is written and the encrypted
// file stays as it was.
TEST_F(ModCryptTest, WrongPasswordsAndDamageWriteNothing) {
  UseStrongFormat(context_);
  const std::string plain = RandomBytes(3 * kStrongChunkSize + 10, 2);
  const std::string path = Write("data.bin", plain);
  std::string password = "pw";
  ASSERT_TRUE(EncryptFile(context_, path, password, false));
  const std::string vault = ReadFile(path + ".vlt");
  const std::size_t secondChunk = kStrongHeaderSize + kStrongChunkSize + 17;
  std::string lateFlip = vault;
  lateFlip[secondChunk + 5000] ^= 0x40;
  std::string headerFlip = vault;
  headerFlip[25] ^= 0x01;
  // Before the first chunk authenticates not even a temporary file gets a byte: a wrong
  // password on a large file must not fill the disk with its wrong plain text.
  const struct {
    std::string what, file, password;
    bool stagesNothing;
  } cases[] = {
      {"wrong password", vault, "pW", true},
      {"header changed", headerFlip, "pw", true},
      {"second chunk changed", lateFlip, "pw", false},
      {"cut at a chunk's end", vault.substr(0, secondChunk + kStrongChunkSize + 17), "pw", false},
      {"cut inside the last chunk", vault.substr(0, vault.size() - 3), "pw", false}};
  std::size_t staged = 0;
  streams_.afterWrite = [&staged](std::size_t bytes) { staged = std::max(staged, bytes); };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Write("data.bin.vlt", c.file);
    staged = 0;
    ui_.messages.clear();
    ui_.AnswerMessage(MessageAnswer::kOk);
    std::string typed = c.password;
    EXPECT_FALSE(DecryptFile(context_, path + ".vlt", typed, false));
    const Message invalid{
        "Invalid password for file: '" + path + ".vlt' - the file was not decrypted!", 48,
        "Invalid Pass"};
    EXPECT_EQ(ui_.messages, std::vector{invalid});
    EXPECT_EQ(InFolder(), Names{"data.bin.vlt"});
    EXPECT_EQ(ReadFile(path + ".vlt"), c.file);
    if (c.stagesNothing) {
      EXPECT_EQ(staged, 0u);
    }
  }
}

// A compatible file may start with any bytes, even a whole strong header asking for a sane
// cost: it still decrypts as a compatible file.
TEST_F(ModCryptTest, ACompatibleFileThatLooksStrongStillDecrypts) {
  const StrongHeader header{
      .cost = {.passes = 1, .memoryBytes = 8192}, .salt = {}, .streamHeader = {}};
  const StrongHeaderBytes look = SerializeStrongHeader(header);
  const std::string wanted = std::string(look.begin(), look.end()) + RandomBytes(200, 3);
  // RC4 is a stream cipher: the plain text that encrypts to the wanted bytes is those bytes
  // under the key stream, which encrypting zeros shows.
  const std::string stream = Encrypted(std::string(wanted.size(), '\0'), "pw");
  std::string plain = wanted;
  for (std::size_t i = 0; i < plain.size(); ++i) {
    plain[i] = static_cast<char>(plain[i] ^ stream[i]);
  }
  const std::string vault = Encrypted(plain, "pw");
  ASSERT_EQ(vault.substr(0, wanted.size()), wanted);
  const std::string path = Write("lookalike.vlt", vault);
  std::string password = "pw";
  ASSERT_TRUE(DecryptFile(context_, path, password, false));
  EXPECT_EQ(InFolder(), Names{"lookalike"});
  EXPECT_EQ(ReadFile(PathOf("lookalike")), plain);
}

// The strong format keys from the password's bytes as typed, whatever the system's code page.
TEST_F(ModCryptTest, PasswordsKeyFromTheirBytesAsTyped) {
  UseStrongFormat(context_);
  for (const std::string typed : {"M\xc3\xbcller", "M\xfcller", "\xd0\x9f\xd0\xb0"}) {
    const std::string path = Write("file.txt", "content");
    std::string password = typed;
    ASSERT_TRUE(EncryptFile(context_, path, password, false));
    ui_.AnswerMessage(MessageAnswer::kOk);
    std::string other = typed == "M\xc3\xbcller" ? "M\xfcller" : "M\xc3\xbcller";
    EXPECT_FALSE(DecryptFile(context_, path + ".vlt", other, false));
    ASSERT_TRUE(DecryptFile(context_, path + ".vlt", password, false));
    EXPECT_EQ(ReadFile(path), "content");
    fs::remove(path);
  }
}

}  // namespace
}  // namespace hv
