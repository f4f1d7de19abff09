#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hv {

// What a clean item does when the cleaning run carries it out.
enum class ItemKind : int32_t {
  Registry = 1,
  Files = 2,
  Cookies = 3,
  History = 4,
  TemporaryInternetFiles = 5,
  RecycleBin = 6,
  BrowserProfile = 7,
  NamedFiles = 8,
  BrowserFamilyFiles = 9,
};

// One record of a definition file, its fields in file order.
struct CleanItem {
  std::string Key;
  std::string Caption;
  int32_t Kind = 0;
  std::string Path;
  std::string Mask;
  bool Reserved = false;
  bool NeedsRestart = false;
  bool Confirm = false;

  bool operator==(const CleanItem&) const = default;
};

// A definition list: the records of one definition file, in file order.
using CleanItemList = std::vector<CleanItem>;

}  // namespace hv
