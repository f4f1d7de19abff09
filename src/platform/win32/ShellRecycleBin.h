#pragma once

#include "platform/RecycleBin.h"

namespace hv {

// The shell's recycle bin over all drives; the shell asks its own confirmation question
// and shows its own progress.
class ShellRecycleBin : public RecycleBin {
 public:
  void EmptyWithConfirmation(UserInterface& ui) override;
};

}  // namespace hv
