#include "cli/Cleaners.h"

#include <algorithm>

#include "cli/CommandError.h"
#include "fileio/DefinitionLoader.h"
#include "ports/CheckBoxes.h"
#include "registry/Presets.h"

namespace hv::cli {
namespace {

CleanItemList LoadItems(const std::string& path) {
  CleanItemList items;
  try {
    LoadCleanItems(path, items);
  } catch (const std::exception& error) {
    throw CommandError(ExitStatus::kNothingDone, error.what());
  }
  return items;
}

HtmlSelectionDocument LoadPage(const std::string& path) {
  try {
    return HtmlSelectionDocument(path);
  } catch (const std::exception& error) {
    throw CommandError(ExitStatus::kNothingDone, error.what());
  }
}

// The presets code's drop-down list, as plain names.
class NameList : public PresetList {
 public:
  std::vector<std::string> names;

  int Count() const override { return static_cast<int>(names.size()); }
  std::string Text(int position) const override { return names.at(position); }
  int SelectedPosition() const override { return -1; }
  void Select(int) override {}
  void Clear() override { names.clear(); }
  void Add(const std::string& name) override { names.push_back(name); }
};

}  // namespace

LoadedCleaner LoadCleaner(const Cleaner& cleaner, const std::string& configFolder) {
  return {cleaner, LoadItems(configFolder + "/" + cleaner.definitionFile),
          LoadPage(configFolder + "/" + cleaner.pageFile)};
}

const CleanItem* FindItem(const CleanItemList& items, const std::string& key) {
  const auto found = std::find_if(items.begin(), items.end(),
                                  [&key](const CleanItem& item) { return item.Key == key; });
  return found == items.end() ? nullptr : &*found;
}

void CheckOnly(LoadedCleaner& loaded, const std::vector<std::string>& keys) {
  std::vector<int> positions;
  for (const std::string& key : keys) {
    if (FindItem(loaded.items, key) == nullptr) {
      throw CommandError(ExitStatus::kUsage, "unknown item key '" + key +
                                                 "' (see: hushvault-cli list --" +
                                                 loaded.cleaner.option + ")");
    }
    const int position = loaded.page.CheckBoxPosition(key);
    if (position < 0) {
      throw CommandError(ExitStatus::kUsage,
                         "the item '" + key + "' has no check box of its own on the page");
    }
    positions.push_back(position);
  }
  SetAllCheckboxes(loaded.page, false);
  for (const int position : positions) {
    MakeCheckBox(loaded.page, position, true);
  }
}

std::vector<std::string> PresetNames(const Cleaner& cleaner) {
  NameList list;
  FillPresetList(cleaner.kind, list);
  return list.names;
}

void RequirePreset(const Cleaner& cleaner, const std::string& name) {
  const std::vector<std::string> names = PresetNames(cleaner);
  if (std::find(names.begin(), names.end(), name) == names.end()) {
    throw CommandError(ExitStatus::kUsage,
                       "no preset named '" + name + "' for the " + cleaner.kind + " cleaner");
  }
}

void ApplyNamedPreset(LoadedCleaner& loaded, const std::string& name) {
  RequirePreset(loaded.cleaner, name);
  try {
    ApplyPreset(name, loaded.cleaner.kind, loaded.page);
  } catch (const std::exception&) {
    // A preset saved from a shorter page sets the boxes it reaches; the rest keep the
    // page's own states, as in the window.
  }
}

}  // namespace hv::cli
