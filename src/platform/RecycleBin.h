#pragma once

#include "clean/ReportSink.h"

namespace hv {

class UserInterface;

// The platform's recycle bin.
class RecycleBin {
 public:
  virtual ~RecycleBin() = default;

  // Empties the bin after the platform's confirmation question, reporting each item as it
  // goes; an answer of No, or an already empty bin, empties nothing. A preview asks
  // nothing, changes nothing and reports what emptying would remove.
  virtual void EmptyWithConfirmation(UserInterface& ui, ReportSink& report, bool preview) = 0;
};

}  // namespace hv
