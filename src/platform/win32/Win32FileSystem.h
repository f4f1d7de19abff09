#pragma once

#include "platform/FileSystem.h"

namespace hv {

// The file system through the system's ANSI file calls (see Win32Folder).
class Win32FileSystem : public FileSystem {
 public:
  std::unique_ptr<Folder> OpenFolder(const std::string& path) override;
};

// The CreateFileA flags of a write mode.
uint32_t CreateFlagsOf(WriteMode mode);

}  // namespace hv
