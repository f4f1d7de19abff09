#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/FileIdentity.h"

namespace hv {

// The files a preview has counted so far, by identity, so that a file two items reach is
// counted under the first only, as the real run removes it there. One flat table of file
// numbers per volume, eight bytes a slot, at most three quarters full: a million files take
// 16 MiB. Past kMostFiles the tables stop growing and a file not yet counted is taken as new,
// so memory stays bounded and an overlap met that late is counted twice.
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
    std::vector<uint64_t> table;  // file numbers; 0: a free slot
    size_t used = 0;
  };
  Volume& VolumeOf(uint64_t device);

  std::vector<Volume> volumes_;
  size_t size_ = 0;
};

}  // namespace hv
