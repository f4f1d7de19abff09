#pragma once

#include <string>
#include <vector>

#include "cli/HtmlSelectionDocument.h"
#include "fileio/CleanItem.h"

namespace hv::cli {

// One of the two cleaners: its definition file, its selection page and its presets.
struct Cleaner {
  const char* option;  // the command line's word for it
  const char* kind;    // the presets' kind word
  const char* definitionFile;
  const char* pageFile;
};

inline constexpr Cleaner kWindowsCleaner{"windows", "Windows", "winclean.cln", "windows.pick"};
inline constexpr Cleaner kWebCleaner{"web", "Web", "webclean.cln", "web.pick"};

// A cleaner's items and page as read from the configuration folder.
struct LoadedCleaner {
  const Cleaner& cleaner;
  CleanItemList items;
  HtmlSelectionDocument page;
};

// Reads both files; throws CommandError (nothing could be done) naming the broken one.
LoadedCleaner LoadCleaner(const Cleaner& cleaner, const std::string& configFolder);

// The item of the list with this key; nullptr when there is none.
const CleanItem* FindItem(const CleanItemList& items, const std::string& key);

// Leaves exactly the boxes of these keys checked. Throws CommandError (usage) for a key
// that is no item of the cleaner or has no box on its page.
void CheckOnly(LoadedCleaner& loaded, const std::vector<std::string>& keys);

// The names of the cleaner's presets, in stored order.
std::vector<std::string> PresetNames(const Cleaner& cleaner);

// Throws CommandError (usage) when the cleaner has no preset of this name.
void RequirePreset(const Cleaner& cleaner, const std::string& name);

// Applies the preset to the page. Throws CommandError (usage) when there is none.
void ApplyNamedPreset(LoadedCleaner& loaded, const std::string& name);

}  // namespace hv::cli
