#include "platform/DataFolder.h"

#include <filesystem>
#include <system_error>

#include "platform/ExecutableName.h"

namespace hv {
namespace {

// Present in every data folder, whichever cleaner is used.
constexpr char kMarkerFile[] = "winclean.cln";

}  // namespace

std::vector<std::string> DataFolderCandidates(const std::string& executableFolder) {
  const std::filesystem::path folder(executableFolder);
  std::vector<std::string> candidates{(folder / "config").string(),
                                      (folder.parent_path() / "share" / "hushvault").string()};
  const std::string installed = HUSHVAULT_DATADIR;
  if (installed != candidates.back()) {
    candidates.push_back(installed);
  }
  return candidates;
}

DataFolderSearch FindDataFolder(const std::vector<std::string>& candidates) {
  DataFolderSearch search;
  for (const std::string& candidate : candidates) {
    search.searched.push_back(candidate);
    std::error_code error;
    if (std::filesystem::is_regular_file(std::filesystem::path(candidate) / kMarkerFile, error)) {
      search.found = candidate;
      break;
    }
  }
  return search;
}

DataFolderSearch FindDataFolder() {
  return FindDataFolder(DataFolderCandidates(ExecutableFolder()));
}

std::string DataFolderNotFound(const DataFolderSearch& search) {
  std::string message = "Hushvault's definition files and pages were not found. Looked in:";
  for (const std::string& folder : search.searched) {
    message += "\n  " + folder;
  }
  return message;
}

}  // namespace hv
