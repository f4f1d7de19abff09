#pragma once

#include "platform/FileStreams.h"

namespace hv {

// Reading through a descriptor opened without following links; staging through mkstemp in
// the target's folder, fsync, rename(2) and an fsync of the folder, so that the rename
// itself survives a crash.
class PosixFileStreams : public FileStreams {
 public:
  std::unique_ptr<InputStream> OpenForReading(const std::string& path) override;
  std::unique_ptr<StagedFile> Stage(const std::string& finalPath,
                                    const std::string& rightsFrom) override;
};

}  // namespace hv
