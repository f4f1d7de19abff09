#pragma once

#include <optional>
#include <string>
#include <vector>

namespace hv {

// Where the program's definition files and selection pages were looked for, and the first
// folder that holds them.
struct DataFolderSearch {
  std::optional<std::string> found;
  std::vector<std::string> searched;
};

// The folders to look in, in order: config/ beside the program (a build folder or an
// unpacked archive), ../share/hushvault from the program (an install moved as a whole),
// then the data folder the build was configured to install to.
std::vector<std::string> DataFolderCandidates(const std::string& executableFolder);

// The first candidate that holds the Windows cleaner's definition file.
DataFolderSearch FindDataFolder(const std::vector<std::string>& candidates);

// Searches the candidates of the running program.
DataFolderSearch FindDataFolder();

// The message for a search that found nothing: every folder it looked in.
std::string DataFolderNotFound(const DataFolderSearch& search);

}  // namespace hv
