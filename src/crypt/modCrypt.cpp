#include "crypt/modCrypt.h"

#include <exception>
#include <optional>
#include <vector>

#include "crypt/FileCipher.h"
#include "crypt/PasswordBytes.h"
#include "crypt/PasswordPrompt.h"
#include "crypt/StrongCipher.h"
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

// Tries the strong format, then each of the password's compatible forms, each from the
// file's start into a new output of its own (none when the name has no plain name). A
// strong file that fails after its header authenticated counts as a wrong password.
StreamOutcome DecryptEither(CryptContext& context, const std::string& fileName,
                            const std::string& password, std::unique_ptr<InputStream>& input,
                            std::unique_ptr<StagedFile>& output) {
  const std::optional<std::string> plainName = PlainNameOf(fileName);
  const auto stage = [&] {
    if (plainName) {
      output = context.streams.Stage(*plainName, fileName);
      Require(output != nullptr);
    }
  };
  stage();
  const StrongOutcome strong =
      DecryptStrongStream(*input, output.get(), password, context.progress);
  switch (strong) {
    case StrongOutcome::kDone:
      return StreamOutcome::kDone;
    case StrongOutcome::kRejected:
      return StreamOutcome::kDigestMismatch;
    case StrongOutcome::kFailed:
      return StreamOutcome::kFailed;
    case StrongOutcome::kStopped:
      return StreamOutcome::kStopped;
    case StrongOutcome::kNotStrong:
    case StrongOutcome::kUnauthenticated:
      break;
  }
  // Any file may be a compatible one, even one that starts like a strong file. Such a file
  // is almost always a strong one with a wrong password: it is checked whole before anything
  // is written, so that its wrong plain text never takes disk space.
  const auto tryForm = [&](const std::string& bytes, bool write) {
    input = context.streams.OpenForReading(fileName);
    Require(input != nullptr);
    if (write) {
      stage();
    }
    return DecryptStream(*input, write ? output.get() : nullptr, bytes, context.progress);
  };
  const PasswordBytes key(password);
  StreamOutcome outcome = StreamOutcome::kDigestMismatch;
  for (const std::string& bytes : key.Forms()) {
    if (strong == StrongOutcome::kUnauthenticated) {
      outcome = tryForm(bytes, false);
      if (outcome == StreamOutcome::kDigestMismatch) {
        continue;
      }
      if (outcome != StreamOutcome::kDone) {
        break;
      }
    }
    outcome = tryForm(bytes, true);
    if (outcome != StreamOutcome::kDigestMismatch) {
      break;
    }
  }
  return outcome;
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
    const auto output = context.streams.Stage(vaultName, fileName);
    Require(output != nullptr);
    const StreamOutcome outcome =
        context.strong
            ? EncryptStrongStream(*input, *output, password, FreshStrongSeed(context.strongCost),
                                  context.progress)
            : EncryptStream(*input, *output, PasswordBytes(password).Preferred(), context.progress);
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
    std::unique_ptr<StagedFile> output;
    const StreamOutcome outcome = DecryptEither(context, fileName, password, input, output);
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
