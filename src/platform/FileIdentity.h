#pragma once

#include <cstdint>

namespace hv {

// Which file a name reaches, whatever the name: its volume and its number on that volume.
// Given only where the name is the file's one name, so that removing the name removes
// exactly that file; a number of 0 means "not known".
struct FileIdentity {
  uint64_t device = 0;
  uint64_t number = 0;

  bool Known() const { return number != 0; }
  bool operator==(const FileIdentity&) const = default;
};

}  // namespace hv
