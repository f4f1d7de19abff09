#include "crypt/modCrypt.h"

#include <exception>
#include <optional>
#include <vector>

#include "crypt/FileCipher.h"
#include "crypt/PasswordBytes.h"
#include "crypt/PasswordPrompt.h"
#include "crypt/WipeSecret.h"
#include "fileio/RemoveFile.h"

namespace hv {
namespace {

constexpr const char* kEncryptedSuffix = ".vlt";
constexpr std::size_t kEncryptedSuffixLength = 4;
constexpr int kExclamationOk = MessageStyle::kExclamation | MessageStyle::kOkOnly;

// Any failed step of one file; the file's own message says which file.
struct FileFailed {};

void Require(bool ok) {
  if (!ok) {
    throw FileFailed{};
  }
}

// The plain name of an encrypted file: its name without a trailing lower-case ".vlt".
std::optional<std::string> PlainNameOf(const std::string& fileName) {
  if (fileName.size() < kEncryptedSuffixLength ||
      fileName.compare(fileName.size() - kEncryptedSuffixLength, kEncryptedSuffixLength,
                       kEncryptedSuffix) != 0) {
    return std::nullopt;
  }
  return fileName.substr(0, fileName.size() - kEncryptedSuffixLength);
}

// A file another program holds open stays: what that program writes after this would be
// lost with the name.
bool Deleted(CryptContext& context, const std::string& path) {
  if (!context.files.CanOpenExclusively(path)) {
    return false;
  }
  try {
    RemoveFile(path, context.files);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// Runs the steps of one file; any failure shows failureText naming the file.
template <typename Steps>
bool WithFailureExit(CryptContext& context, const std::string& failureText, Steps steps) {
  try {
    return steps();
  } catch (const FileFailed&) {
  } catch (const std::exception&) {
  }
  context.ui.MessageBox(failureText, kExclamationOk, kAppTitle);
  return false;
}

using FileStep = bool (*)(CryptContext&, const std::string&, std::string&, bool);

int RunBatch(CryptContext& context, const std::string& files, bool samePass, bool noConfirm,
             FileStep step) {
  std::string common;
  const SecretGuard wipeCommon(common);
  if (samePass) {
    common = context.ui.GetPassword("Enter the password:", noConfirm);
    if (common.empty()) {
      return -1;
    }
  }
  int done = 0;
  for (const std::string& entry : SplitFileList(files)) {
    if (IsBlank(entry)) {
      continue;
    }
    if (context.progress.StopRequested()) {
      break;
    }
    std::string password = common;
    const SecretGuard wipePassword(password);
    context.progress.BeginFile(entry);
    const bool fileDone = step(context, entry, password, !samePass);
    context.progress.EndFile(fileDone);
    done += fileDone ? 1 : 0;
  }
  return done;
}

}  // namespace

bool EncryptFile(CryptContext& context, const std::string& fileName, std::string& password,
                 bool askPassword) {
  const std::string vaultName = fileName + kEncryptedSuffix;
  return WithFailureExit(context, "Could not encrypt the file: '" + fileName + "'!", [&] {
    auto input = context.streams.OpenForReading(fileName);
    Require(input != nullptr);
    if (askPassword) {
      password =
          context.ui.GetPassword("Enter a password for the file: '" + fileName + "'.", false);
      if (password.empty()) {
        return false;
      }
    }
    const PasswordBytes key(password);
    const auto output = context.streams.Stage(vaultName, fileName);
    Require(output != nullptr);
    const StreamOutcome outcome = EncryptStream(*input, *output, key.Preferred(), context.progress);
    if (outcome == StreamOutcome::kStopped) {
      return false;  // the staged file goes with output, unnamed
    }
    Require(outcome == StreamOutcome::kDone);
    Require(output->Commit());
    // Closed before it is deleted: some systems refuse to delete an open file, and this
    // program's own descriptor would count as another holder.
    input.reset();
    // The encrypted file is complete; a plain file that stays is the user's to know about,
    // but the file was encrypted.
    if (!Deleted(context, fileName)) {
      context.ui.MessageBox("The file: '" + fileName + "' was encrypted to '" + vaultName +
                                "', but the original file could not be deleted!",
                            kExclamationOk, kAppTitle);
    }
    return true;
  });
}

bool DecryptFile(CryptContext& context, const std::string& fileName, std::string& password,
                 bool askPassword) {
  return WithFailureExit(context, "Could not decrypt the file: '" + fileName + "'!", [&] {
    auto input = context.streams.OpenForReading(fileName);
    Require(input != nullptr);
    if (askPassword) {
      password =
          context.ui.GetPassword("Enter the password for the file: '" + fileName + "'.", true);
      if (password.empty()) {
        return false;
      }
    }
    const std::optional<std::string> plainName = PlainNameOf(fileName);
    const PasswordBytes key(password);
    std::unique_ptr<StagedFile> output;
    StreamOutcome outcome = StreamOutcome::kDigestMismatch;
    for (const std::string& bytes : key.Forms()) {
      // Each try reads the file from its start, into a new file of its own.
      if (input == nullptr) {
        input = context.streams.OpenForReading(fileName);
        Require(input != nullptr);
      }
      if (plainName) {
        output = context.streams.Stage(*plainName, fileName);
        Require(output != nullptr);
      }
      outcome = DecryptStream(*input, output.get(), bytes, context.progress);
      if (outcome != StreamOutcome::kDigestMismatch) {
        break;
      }
      input.reset();
    }
    if (outcome == StreamOutcome::kStopped) {
      return false;
    }
    if (outcome == StreamOutcome::kDigestMismatch) {
      context.ui.MessageBox(
          "Invalid password for file: '" + fileName + "' - the file was not decrypted!",
          kExclamationOk, "Invalid Pass");
      return false;
    }
    Require(outcome == StreamOutcome::kDone && output != nullptr);
    Require(output->Commit());
    input.reset();
    Require(Deleted(context, fileName));
    return true;
  });
}

std::vector<std::string> SplitFileList(const std::string& files) {
  std::vector<std::string> entries;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = files.find('\0', start);
    entries.push_back(files.substr(start, end - start));
    if (end == std::string::npos) {
      return entries;
    }
    start = end + 1;
  }
}

int EncryptFiles(CryptContext& context, const std::string& files, bool samePass) {
  return RunBatch(context, files, samePass, false, EncryptFile);
}

int DecryptFiles(CryptContext& context, const std::string& files, bool samePass) {
  return RunBatch(context, files, samePass, true, DecryptFile);
}

}  // namespace hv
