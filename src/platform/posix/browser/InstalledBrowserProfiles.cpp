#include "platform/posix/browser/InstalledBrowserProfiles.h"

#include "platform/posix/browser/BrowserInstalls.h"

namespace hv {

BrowserProfileList InstalledBrowserProfiles::Profiles() {
  return FindBrowserProfiles(folders_ ? *folders_ : BrowserFolders::ForCurrentUser());
}

}  // namespace hv
