#pragma once

#include "platform/BrowserProfiles.h"

namespace hv {

// The Netscape and Mozilla profiles below the user's application-data folder.
class MozillaProfiles : public BrowserProfiles {
 public:
  BrowserProfileList Profiles() override;
};

}  // namespace hv
