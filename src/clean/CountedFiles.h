#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/FileIdentity.h"

namespace hv {

// The files a preview has counted so far, by identity, so that a file two items reach is
// counted under the first only, as the real run removes it there. One flat table of file
// numbers per volume, at most three quarters full: four bytes a slot while the volume's
// numbers fit in 32 bits (as they do on most file systems), eight past that, so a million
// files take 8 MiB (16 MiB on volumes with larger numbers). Past kMostFiles the tables stop
// growing and a file not yet counted is taken as new, so memory stays bounded and an
// overlap met that late is counted twice.
class CountedFiles {
 public:
  static constexpr size_t kMostSlots = size_t{1} << 21;
  static constexpr size_t kMostFiles = kMostSlots / 4 * 3;

  // True when file was not counted before; from now on it is.
  bool Count(const FileIdentity& file);
  size_t Size() const { return size_; }

 private:
  struct Volume {
    uint64_t device = 0;
    // File numbers; 0 marks a free slot. Only one of the two is in use: narrow until a
    // number needs more than 32 bits.
    std::vector<uint32_t> narrow;
    std::vector<uint64_t> wide;
    size_t used = 0;
  };
  Volume& VolumeOf(uint64_t device);

  std::vector<Volume> volumes_;
  size_t size_ = 0;
};

}  // namespace hv
