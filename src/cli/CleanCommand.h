#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/Cleaners.h"

namespace hv::cli {

// What a preview or clean was asked to do.
struct CleanRequest {
  const Cleaner* cleaner = &kWindowsCleaner;
  std::string configFolder;
  bool preview = false;
  std::string preset;             // empty: no preset
  std::vector<std::string> keys;  // empty (and no preset): the page's own boxes
  std::optional<bool> wipe;       // unset: the stored setting
  bool yes = false;
  bool allowRestart = false;
  bool json = false;
  std::string profile;
};

// Runs the cleaner over the chosen items and writes its report; returns the exit status.
int RunClean(const CleanRequest& request, std::ostream& out, std::ostream& err);

// Writes the items of the cleaners: key, caption, kind, sensitive, checked on the page;
// returns the exit status.
int ListItems(const std::vector<const Cleaner*>& cleaners, const std::string& configFolder,
              bool json, std::ostream& out);

}  // namespace hv::cli
