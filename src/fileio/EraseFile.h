#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/FileSystem.h"
#include "ports/WorkProgress.h"

namespace hv {

// Makes the file name in folder disappear. With wipe set, its whole length (rounded up to
// whole blocks, plus one block) is first overwritten from its start with random bytes that
// reach the disk; then the file is cut to zero length and removed.
//
// Returns true only when a wipe ran to its end and the file is gone; false when the file
// is missing, a link, held open by another process or not this user's to delete (the file
// is then untouched), when a step failed, and always when wipe is false.
bool EraseFile(Folder& folder, const std::string& name, bool wipe);

// What became of a file given to Erase.
struct Erasure {
  FileAccess access = FileAccess::kMissing;  // the probe's answer; anything but kExclusive
                                             // leaves the file untouched
  bool removed = false;                      // the name is gone
  bool wiped = false;                        // removed after a wipe that ran to its end
  std::optional<uint64_t> allocatedBytes =
      std::nullopt;  // what the file took up, as the probe saw it
};

// EraseFile, telling what became of the file and, when it was refused, why. The passes of
// a wipe advance progress by the bytes of the file they overwrote. They never stop on the
// way: a file half overwritten would be neither kept nor gone.
Erasure Erase(Folder& folder, const std::string& name, bool wipe,
              WorkProgress& progress = NoProgress());

// The same for the file at path, reached through the folder that holds it.
bool EraseFile(const std::string& path, bool wipe, FileSystem& files = NativeFileSystem(),
               WorkProgress& progress = NoProgress());

}  // namespace hv
