#include "clean/CountedFiles.h"

#include <algorithm>

namespace hv {
namespace {

constexpr size_t kFirstSlots = 1024;

// File numbers are handed out in runs; the multiplication spreads them over the table.
size_t SlotOf(uint64_t number, size_t slotCount) {
  return static_cast<size_t>((number * 0x9E3779B97F4A7C15ull) >> 32) & (slotCount - 1);
}

// The slot that holds number, or the free slot where it belongs.
uint64_t& Probe(std::vector<uint64_t>& table, uint64_t number) {
  for (size_t slot = SlotOf(number, table.size());; slot = (slot + 1) & (table.size() - 1)) {
    if (table[slot] == number || table[slot] == 0) {
      return table[slot];
    }
  }
}

void Rehash(std::vector<uint64_t>& table, size_t slotCount) {
  std::vector<uint64_t> grown(slotCount, 0);
  for (const uint64_t number : table) {
    if (number != 0) {
      Probe(grown, number) = number;
    }
  }
  table.swap(grown);
}

}  // namespace

CountedFiles::Volume& CountedFiles::VolumeOf(uint64_t device) {
  const auto found = std::ranges::find(volumes_, device, &Volume::device);
  if (found != volumes_.end()) {
    return *found;
  }
  volumes_.push_back({device, std::vector<uint64_t>(kFirstSlots, 0), 0});
  return volumes_.back();
}

bool CountedFiles::Count(const FileIdentity& file) {
  if (!file.Known()) {
    return true;
  }
  Volume& volume = VolumeOf(file.device);
  uint64_t& slot = Probe(volume.table, file.number);
  if (slot == file.number) {
    return false;
  }
  if (size_ >= kMostFiles) {
    return true;
  }
  slot = file.number;
  ++volume.used;
  ++size_;
  // Kept at most three quarters full, so that a probe ends after a few slots.
  if (volume.used * 4 > volume.table.size() * 3 && volume.table.size() < kMostSlots) {
    Rehash(volume.table, volume.table.size() * 2);
  }
  return true;
}

}  // namespace hv
