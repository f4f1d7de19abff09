#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Cleaners.h"

namespace hv::cli {

// The presets the window shows, by name; each returns the exit status.
int ListPresets(const Cleaner& cleaner, bool json, std::ostream& out);
int ShowPreset(LoadedCleaner& loaded, const std::string& name, bool json, std::ostream& out);
int SavePresetOf(LoadedCleaner& loaded, const std::string& name,
                 const std::vector<std::string>& keys);
int DeletePresetNamed(const Cleaner& cleaner, const std::string& name);

}  // namespace hv::cli
