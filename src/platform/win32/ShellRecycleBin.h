#pragma once

#include "platform/RecycleBin.h"

namespace hv {

// The shell's recycle bin over all drives; the shell asks its own confirmation question
// and shows its own progress. It tells totals only, so the whole bin is one entry.
class ShellRecycleBin : public RecycleBin {
 public:
  void EmptyWithConfirmation(UserInterface& ui, ReportSink& report, bool preview) override;
};

}  // namespace hv
