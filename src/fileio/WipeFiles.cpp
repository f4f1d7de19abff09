#include "fileio/WipeFiles.h"

#include "fileio/EraseFile.h"
#include "ports/UserInterface.h"

namespace hv {

WipeOutcome WipeFiles(const std::vector<std::string>& paths, FileSystem& files,
                      WorkProgress& progress) {
  WipeOutcome outcome;
  for (const std::string& path : paths) {
    if (progress.StopRequested()) {
      ++outcome.left;
      continue;
    }
    progress.BeginFile(path);
    const bool wiped = EraseFile(path, true, files, progress);
    progress.EndFile(wiped);
    ++(wiped ? outcome.wiped : outcome.notWiped);
  }
  outcome.style = MessageStyle::kInformation;
  if (outcome.wiped > 0) {
    outcome.message = "Successfully wiped " + std::to_string(outcome.wiped) + " file(s).\r\n";
  }
  if (outcome.notWiped > 0) {
    outcome.message += "Could not delete " + std::to_string(outcome.notWiped) + " files!";
    outcome.style = MessageStyle::kExclamation;
  }
  if (outcome.left > 0) {
    outcome.message += (outcome.notWiped > 0 ? "\r\n" : "") + FilesLeftByStop(outcome.left);
  }
  return outcome;
}

}  // namespace hv
