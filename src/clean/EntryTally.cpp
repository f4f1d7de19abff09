#include "clean/EntryTally.h"

#include <cstdio>
#include <numeric>

namespace hv {
namespace {

struct TypeWords {
  const char* one;
  const char* many;
};

// In the order the totals line names them.
constexpr std::pair<EntryType, TypeWords> kTypeWords[] = {
    {EntryType::kFile, {"file", "files"}},
    {EntryType::kCacheFile, {"cache file", "cache files"}},
    {EntryType::kTrashItem, {"trash item", "trash items"}},
    {EntryType::kCookie, {"cookie", "cookies"}},
    {EntryType::kHistoryEntry, {"history entry", "history entries"}},
    {EntryType::kSettingsValue, {"settings value", "settings values"}},
    {EntryType::kSettingsKey, {"settings key", "settings keys"}},
};
static_assert(std::size(kTypeWords) == kEntryTypeCount);

size_t Slot(EntryType type) {
  return static_cast<size_t>(type);
}

std::string Counted(uint64_t count, const TypeWords& words) {
  return GroupedNumber(count) + " " + (count == 1 ? words.one : words.many);
}

}  // namespace

void EntryTally::Add(const ReportEntry& entry) {
  if (entry.outcome == EntryOutcome::kLeft) {
    ++left;
    return;
  }
  const size_t slot = Slot(entry.type);
  ++count[slot];
  if (entry.bytes) {
    bytes[slot] += *entry.bytes;
    sized[slot] = true;
  }
}

uint64_t EntryTally::Entries() const {
  return std::accumulate(count.begin(), count.end(), left);
}

uint64_t EntryTally::Bytes() const {
  return std::accumulate(bytes.begin(), bytes.end(), uint64_t{0});
}

std::string TallyLine(const EntryTally& tally) {
  std::string line;
  const auto addPart = [&line](const std::string& part) {
    line += (line.empty() ? "" : "; ") + part;
  };
  for (const auto& [type, words] : kTypeWords) {
    const size_t slot = Slot(type);
    if (tally.count[slot] == 0) {
      continue;
    }
    std::string part = Counted(tally.count[slot], words);
    if (tally.sized[slot]) {
      part += ", " + DisplaySize(tally.bytes[slot]);
    }
    addPart(part);
  }
  if (tally.left > 0) {
    addPart(GroupedNumber(tally.left) + " left behind");
  }
  return line.empty() ? "nothing" : line;
}

// Built forward rather than by inserting commas: GCC 12 warns, wrongly, of an overlapping
// copy inside string::insert.
std::string GroupedNumber(uint64_t number) {
  const std::string digits = std::to_string(number);
  std::string grouped;
  grouped.reserve(digits.size() + digits.size() / 3);
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) {
      grouped += ',';
    }
    grouped += digits[i];
  }
  return grouped;
}

std::string DisplaySize(uint64_t bytes) {
  if (bytes < 1000) {
    return GroupedNumber(bytes) + (bytes == 1 ? " byte" : " bytes");
  }
  constexpr const char* kUnits[] = {"kB", "MB", "GB", "TB", "PB", "EB"};
  double value = static_cast<double>(bytes) / 1000.0;
  size_t unit = 0;
  // The unit is chosen after rounding, so 999,999 bytes read "1.0 MB", not "1000.0 kB".
  while (value >= 999.95 && unit + 1 < std::size(kUnits)) {
    value /= 1000.0;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
  return text;
}

}  // namespace hv
