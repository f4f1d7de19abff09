#pragma once

#include "registry/Presets.h"

class QComboBox;

namespace hv {

// A drop-down list of the window seen as a preset list. Only a change of the selected
// position raises the list's selection change; emptying and filling it raise none.
class ComboPresetList : public PresetList {
 public:
  explicit ComboPresetList(QComboBox& combo) : combo_(combo) {}

  int Count() const override;
  std::string Text(int position) const override;
  int SelectedPosition() const override;
  void Select(int position) override;
  void Clear() override;
  void Add(const std::string& name) override;

 private:
  QComboBox& combo_;
};

}  // namespace hv
