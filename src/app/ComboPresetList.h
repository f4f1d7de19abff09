#pragma once

#include <functional>

#include "registry/Presets.h"

class QComboBox;

namespace hv {

// A drop-down list of the window seen as a preset list. The user's pick raises the list's
// selection change, even of the entry already selected; the program's Select raises it
// only when the position changes; emptying and filling it raise none.
class ComboPresetList : public PresetList {
 public:
  ComboPresetList(QComboBox& combo, std::function<void()> selectionChange);

  int Count() const override;
  std::string Text(int position) const override;
  int SelectedPosition() const override;
  void Select(int position) override;
  void Clear() override;
  void Add(const std::string& name) override;

 private:
  QComboBox& combo_;
  std::function<void()> selectionChange_;
};

}  // namespace hv
