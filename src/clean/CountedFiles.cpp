#include "clean/CountedFiles.h"

#include <algorithm>
#include <limits>

namespace hv {
namespace {

constexpr size_t kFirstSlots = 1024;

// File numbers are handed out in runs; the multiplication spreads them over the table.
size_t SlotOf(uint64_t number, size_t slotCount) {
  return static_cast<size_t>((number * 0x9E3779B97F4A7C15ull) >> 32) & (slotCount - 1);
}

// The slot that holds number, or the free slot where it belongs.
template <typename Number>
Number& Probe(std::vector<Number>& table, uint64_t number) {
  for (size_t slot = SlotOf(number, table.size());; slot = (slot + 1) & (table.size() - 1)) {
    if (table[slot] == number || table[slot] == 0) {
      return table[slot];
    }
  }
}

// Moves every number of from into a fresh table of slotCount slots, and frees from.
template <typename From, typename To>
void Rehash(std::vector<From>& from, std::vector<To>& to, size_t slotCount) {
  std::vector<To> grown(slotCount, 0);
  for (const From number : from) {
    if (number != 0) {
      Probe(grown, number) = number;
    }
  }
  std::vector<From>().swap(from);
  to.swap(grown);
}

// Counts number in table unless it is there; false when it was.
template <typename Number>
bool Insert(std::vector<Number>& table, uint64_t number, bool mayAdd, size_t& used) {
  Number& slot = Probe(table, number);
  if (slot == number) {
    return false;
  }
  if (mayAdd) {
    slot = static_cast<Number>(number);
    ++used;
    // Kept at most three quarters full, so that a probe ends after a few slots.
    if (used * 4 > table.size() * 3 && table.size() < CountedFiles::kMostSlots) {
      Rehash(table, table, table.size() * 2);
    }
  }
  return true;
}

}  // namespace

CountedFiles::Volume& CountedFiles::VolumeOf(uint64_t device) {
  const auto found = std::ranges::find(volumes_, device, &Volume::device);
  if (found != volumes_.end()) {
    return *found;
  }
  volumes_.push_back({device, std::vector<uint32_t>(kFirstSlots, 0), {}, 0});
  return volumes_.back();
}

bool CountedFiles::Count(const FileIdentity& file) {
  if (!file.Known()) {
    return true;
  }
  Volume& volume = VolumeOf(file.device);
  if (volume.wide.empty() && file.number > std::numeric_limits<uint32_t>::max()) {
    Rehash(volume.narrow, volume.wide, volume.narrow.size());
  }
  const bool mayAdd = size_ < kMostFiles;
  const bool isNew = volume.wide.empty() ? Insert(volume.narrow, file.number, mayAdd, volume.used)
                                         : Insert(volume.wide, file.number, mayAdd, volume.used);
  if (isNew && mayAdd) {
    ++size_;
  }
  return isNew;
}

}  // namespace hv
