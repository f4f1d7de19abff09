#pragma once

#include "platform/RunningBrowsers.h"

namespace hv {

// The Mozilla browsers running on the profiles below the user's application-data folder:
// a running one holds its profile's "parent.lock" open without sharing.
class MozillaProfileLocks : public RunningBrowsers {
 public:
  std::vector<RunningBrowser> Find() override;
};

}  // namespace hv
