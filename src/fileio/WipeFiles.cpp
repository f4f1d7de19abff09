#include "fileio/WipeFiles.h"

#include "fileio/EraseFile.h"
#include "ports/UserInterface.h"

namespace hv {

WipeOutcome WipeFiles(const std::vector<std::string>& paths, FileSystem& files) {
  WipeOutcome outcome;
  for (const std::string& path : paths) {
    if (EraseFile(path, true, files)) {
      ++outcome.wiped;
    }
  }
  const int total = static_cast<int>(paths.size());
  outcome.style = MessageStyle::kInformation;
  if (outcome.wiped > 0) {
    outcome.message = "Successfully wiped " + std::to_string(outcome.wiped) + " file(s).\r\n";
  }
  if (outcome.wiped < total) {
    outcome.message += "Could not delete " + std::to_string(total - outcome.wiped) + " files!";
    outcome.style = MessageStyle::kExclamation;
  }
  return outcome;
}

}  // namespace hv
