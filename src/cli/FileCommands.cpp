#include "cli/FileCommands.h"

#include <ostream>

#include "cli/CommandError.h"
#include "cli/TerminalUserInterface.h"
#include "crypt/modCrypt.h"
#include "fileio/WipeFiles.h"
#include "platform/Terminal.h"

namespace hv::cli {
namespace {

struct CryptCommand {
  int (*run)(CryptContext&, const std::string&, bool);
  const char* done;    // "encrypted"
  const char* failed;  // "encrypt"
  const char* title;
};

TerminalUserInterface MakeInterface(const FileRequest& request, std::optional<std::string> password,
                                    std::ostream& out, std::ostream& err) {
  AnswerPolicy policy;
  policy.interactive = IsTerminal(StandardStream::kInput);
  policy.yes = request.yes;
  policy.password = std::move(password);
  return TerminalUserInterface(std::move(policy), out, err);
}

// Only ordinary files go into the batch, as in the window; the others are named here,
// since the window's file dialog never offers them.
std::string Batch(const std::vector<std::string>& files, const char* done, FileSystem& system,
                  std::ostream& err) {
  constexpr uint32_t kNotNormal =
      FileAttribute::kDirectory | FileAttribute::kHidden | FileAttribute::kSystem;
  std::string batch;
  for (const std::string& path : files) {
    const auto entry = system.FindEntry(path);
    if (entry && (entry->attributes & kNotNormal) == 0) {
      batch += path + '\0';
    } else {
      err << "hushvault-cli: '" << path << "' is not an ordinary file that can be " << done
          << "; passed over" << std::endl;
    }
  }
  if (!batch.empty()) {
    batch.pop_back();
  }
  return batch;
}

int RunCrypt(const FileRequest& request, const CryptCommand& command, std::ostream& out,
             std::ostream& err) {
  const std::string batch = Batch(request.files, command.done, NativeFileSystem(), err);
  if (batch.empty()) {
    throw CommandError(ExitStatus::kNothingDone, std::string("nothing to ") + command.failed);
  }
  // The interface wipes its copy of the password when it goes.
  TerminalUserInterface ui = MakeInterface(request, request.readPassword(), out, err);
  CryptContext context{.ui = ui};
  const int done = command.run(context, batch, true);
  if (done < 0) {
    throw CommandError(ExitStatus::kNothingDone,
                       "no password was given; nothing was " + std::string(command.done));
  }
  const int total = static_cast<int>(request.files.size());
  if (done > 0) {
    ui.MessageBox(
        std::string("Successfully ") + command.done + " " + std::to_string(done) + " file(s).",
        MessageStyle::kInformation | MessageStyle::kOkOnly, command.title);
  } else {
    ui.MessageBox(
        std::string("Could not ") + command.failed + " " + std::to_string(total) + " file(s)!",
        MessageStyle::kExclamation | MessageStyle::kOkOnly, command.title);
  }
  return done == total ? ExitStatus::kDone : ExitStatus::kSomeLeft;
}

}  // namespace

int RunWipe(const FileRequest& request, std::ostream& out, std::ostream& err) {
  TerminalUserInterface ui = MakeInterface(request, std::nullopt, out, err);
  if (ui.MessageBox(kWipeQuestion, MessageStyle::kQuestion | MessageStyle::kYesNo, kWipeTitle) !=
      MessageAnswer::kYes) {
    err << "hushvault-cli: nothing was wiped" << std::endl;
    return ExitStatus::kSomeLeft;
  }
  const WipeOutcome outcome = WipeFiles(request.files);
  ui.MessageBox(outcome.message, outcome.style | MessageStyle::kOkOnly, kWipeTitle);
  return outcome.wiped == static_cast<int>(request.files.size()) ? ExitStatus::kDone
                                                                 : ExitStatus::kSomeLeft;
}

int RunEncrypt(const FileRequest& request, std::ostream& out, std::ostream& err) {
  return RunCrypt(request, {EncryptFiles, "encrypted", "encrypt", "Encrypt"}, out, err);
}

int RunDecrypt(const FileRequest& request, std::ostream& out, std::ostream& err) {
  return RunCrypt(request, {DecryptFiles, "decrypted", "decrypt", "Decrypt"}, out, err);
}

}  // namespace hv::cli
