#include "cli/PresetCommands.h"

#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/CommandError.h"
#include "cli/ReportJson.h"
#include "registry/Presets.h"

namespace hv::cli {
namespace {

void WriteNames(const std::vector<std::string>& names, bool json, const char* field,
                std::ostream& out) {
  if (json) {
    out << JsonText({{"version", kJsonVersion}, {field, names}}) << std::endl;
    return;
  }
  for (const std::string& name : names) {
    out << name << "\n";
  }
  out << std::flush;
}

}  // namespace

int ListPresets(const Cleaner& cleaner, bool json, std::ostream& out) {
  WriteNames(PresetNames(cleaner), json, "presets", out);
  return ExitStatus::kDone;
}

int ShowPreset(LoadedCleaner& loaded, const std::string& name, bool json, std::ostream& out) {
  ApplyNamedPreset(loaded, name);
  std::vector<std::string> keys;
  for (int position = 0; position < loaded.page.CheckBoxCount(); ++position) {
    if (loaded.page.CheckBoxState(position)) {
      keys.push_back(loaded.page.CheckBoxKey(position));
    }
  }
  WriteNames(keys, json, "checked", out);
  return ExitStatus::kDone;
}

int SavePresetOf(LoadedCleaner& loaded, const std::string& name,
                 const std::vector<std::string>& keys) {
  if (name.empty()) {
    throw CommandError(ExitStatus::kUsage, "a preset needs a name");
  }
  if (loaded.page.CheckBoxCount() == 0) {
    throw CommandError(ExitStatus::kNothingDone, "the page has no check boxes to store");
  }
  CheckOnly(loaded, keys);
  SavePreset(name, loaded.cleaner.kind, loaded.page);
  return ExitStatus::kDone;
}

int DeletePresetNamed(const Cleaner& cleaner, const std::string& name) {
  RequirePreset(cleaner, name);
  DeletePreset(name, cleaner.kind);
  return ExitStatus::kDone;
}

}  // namespace hv::cli
