#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "clean/ReportSink.h"

namespace hv {

inline constexpr size_t kEntryTypeCount = static_cast<size_t>(EntryType::kTrashItem) + 1;

// What a stretch of a report adds up to: things removed (or, in a preview, that would be)
// counted per type with the bytes they free, and the things left behind.
struct EntryTally {
  std::array<uint64_t, kEntryTypeCount> count{};
  std::array<uint64_t, kEntryTypeCount> bytes{};
  std::array<bool, kEntryTypeCount> sized{};  // some entry of the type came with a size
  uint64_t left = 0;

  void Add(const ReportEntry& entry);
  uint64_t Entries() const;
  uint64_t Bytes() const;
};

// "2,304 files, 187.4 MB; 312 cookies; 2 left behind": the parts that are not zero, in a
// fixed order; "nothing" when every part is zero.
std::string TallyLine(const EntryTally& tally);

// 1234567 -> "1,234,567".
std::string GroupedNumber(uint64_t number);

// A size as the desktop's file manager shows it: decimal units, one decimal place
// ("999 bytes", "1.0 kB", "187.4 MB").
std::string DisplaySize(uint64_t bytes);

}  // namespace hv
