#pragma once

#include <string>

namespace hv {

class SelectionDocument;

// The kind words: each names a cleaner and the registry key of its presets.
inline constexpr const char* kWindowsKind = "Windows";
inline constexpr const char* kWebKind = "Web";

// A drop-down list of preset names as the presets code sees it. Selecting a position that
// differs from the current one raises the list's selection change before Select returns.
class PresetList {
 public:
  virtual ~PresetList() = default;

  virtual int Count() const = 0;
  virtual std::string Text(int position) const = 0;
  // -1 when nothing is selected.
  virtual int SelectedPosition() const = 0;
  // Throws std::out_of_range for a position the list does not have; -1 clears the
  // selection.
  virtual void Select(int position) = 0;
  // Empties the list without raising a selection change.
  virtual void Clear() = 0;
  // Appends a name without selecting it.
  virtual void Add(const std::string& name) = 0;
};

// Writes the page's check-box states (one byte a box, 1 checked, 0 not) as the preset
// called name, replacing one of that name.
void SavePreset(const std::string& name, const std::string& kind, SelectionDocument& document);

// Sets the page's check boxes from the preset called name. Throws when there is no such
// preset (the page is left as it was), and when the page has more boxes than the stored
// bytes reach (the boxes from there on keep their states).
void ApplyPreset(const std::string& name, const std::string& kind, SelectionDocument& document);

// Refills list with the kind's preset names in stored order and selects the position
// that was selected before, the first entry when none was, or the last entry when the
// list got shorter than that.
void FillPresetList(const std::string& kind, PresetList& list);

// Deletes the preset called name. Throws when it cannot be deleted.
void DeletePreset(const std::string& name, const std::string& kind);

// Selects the first entry whose text equals name exactly; nothing changes when none does.
void SelectListEntry(const std::string& name, PresetList& list);

}  // namespace hv
