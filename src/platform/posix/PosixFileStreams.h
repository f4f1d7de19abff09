#pragma once

#include <sys/types.h>

#include "platform/FileStreams.h"

namespace hv {

// Reading through a descriptor opened without following links. Staging through a file
// without a name in the target's folder (O_TMPFILE), fsync, a link into place (or a staged
// name and rename(2) where a file is replaced) and an fsync of the folder, so that the new
// name itself survives a crash. Where the file system cannot make a file without a name, a
// staged name stands in from the start, and such names left by a crash are swept at the
// next staging in that folder.
class PosixFileStreams : public FileStreams {
 public:
  std::unique_ptr<InputStream> OpenForReading(const std::string& path) override;
  std::unique_ptr<StagedFile> Stage(const std::string& finalPath,
                                    const std::string& rightsFrom) override;

 protected:
  // Opens a new file without a name in the folder; the one place such a file is made, so
  // that tests can play a file system that cannot.
  virtual int OpenNameless(int folder, mode_t mode);
};

}  // namespace hv
