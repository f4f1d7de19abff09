#include "registry/Presets.h"

#include <algorithm>
#include <vector>

#include "ports/CheckBoxes.h"
#include "ports/SelectionDocument.h"
#include "registry/cRegistry.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

constexpr const char* kPresetsKey = "Software\\Hushvault\\Presets\\";
constexpr const char* kErrorSource = "Presets";
// The error a failed conversion to a byte array raises: "Type mismatch".
constexpr long kTypeMismatch = 13;

// One registry object serves every preset operation for the life of the process; each
// operation sets everything it depends on first.
cRegistry& PresetRegistry(const std::string& kind) {
  static cRegistry registry;
  registry.ClassKey(kHkeyCurrentUser);
  registry.SectionKey(kPresetsKey + kind);
  return registry;
}

}  // namespace

void SavePreset(const std::string& name, const std::string& kind, SelectionDocument& document) {
  cRegistry& registry = PresetRegistry(kind);
  registry.CreateKey();
  ByteArray states;
  const int count = document.CheckBoxCount();
  for (int position = 0; position < count; ++position) {
    states.push_back(document.CheckBoxState(position) ? 1 : 0);
  }
  registry.ValueKey(name);
  registry.ValueType(static_cast<int32_t>(reg::kBinary));
  registry.Value(Variant(states));
}

void ApplyPreset(const std::string& name, const std::string& kind, SelectionDocument& document) {
  cRegistry& registry = PresetRegistry(kind);
  registry.CreateKey();
  registry.ValueKey(name);
  const Variant stored = registry.Value();
  const ByteArray* states = std::get_if<ByteArray>(&stored);
  if (states == nullptr) {
    throw NumberedError(kTypeMismatch, kErrorSource,
                        "The preset '" + name + "' holds no check-box states");
  }
  const int count = document.CheckBoxCount();
  for (int position = 0; position < count; ++position) {
    if (position >= static_cast<int>(states->size())) {
      throw NumberedError(
          9, kErrorSource,
          "The preset '" + name + "' ends before check box " + std::to_string(position));
    }
    MakeCheckBox(document, position, (*states)[position] == 1);
  }
}

void FillPresetList(const std::string& kind, PresetList& list) {
  cRegistry& registry = PresetRegistry(kind);
  const int remembered = list.SelectedPosition();
  list.Clear();
  std::vector<std::string> names;
  int32_t count = 0;
  registry.EnumerateValues(names, count);
  if (count == 0) {
    return;
  }
  for (int32_t i = 0; i < count; ++i) {
    list.Add(names[i]);
  }
  list.Select(std::clamp(remembered, 0, count - 1));
}

void DeletePreset(const std::string& name, const std::string& kind) {
  cRegistry& registry = PresetRegistry(kind);
  registry.ValueKey(name);
  registry.DeleteValue();
}

void SelectListEntry(const std::string& name, PresetList& list) {
  const int count = list.Count();
  for (int position = 0; position < count; ++position) {
    if (list.Text(position) == name) {
      list.Select(position);
      return;
    }
  }
}

}  // namespace hv
