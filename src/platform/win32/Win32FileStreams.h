#pragma once

#include "platform/FileStreams.h"

namespace hv {

// Reading through CreateFileA (reparse points refused); staging through a file of a staged
// name in the target's folder, FlushFileBuffers and MoveFileExA with write-through. Staged
// files that a crash left behind are removed at the next staging in that folder.
class Win32FileStreams : public FileStreams {
 public:
  std::unique_ptr<InputStream> OpenForReading(const std::string& path) override;
  std::unique_ptr<StagedFile> Stage(const std::string& finalPath,
                                    const std::string& rightsFrom) override;
};

}  // namespace hv
