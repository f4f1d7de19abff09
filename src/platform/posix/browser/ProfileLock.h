#pragma once

#include <string>
#include <vector>

#include "platform/RunningBrowsers.h"
#include "platform/posix/browser/BrowserFolders.h"

namespace hv {

// Whether Firefox runs on the profile in folder: another process holds the fcntl lock on
// its ".parentlock", or its "lock" link names this machine ("host:+pid", the host as a name
// or as one of its addresses) and a process that still exists.
bool FirefoxProfileInUse(const std::string& folder);

// Whether a Chromium-family browser runs on the user-data folder: its "SingletonLock" link
// names this machine's host name and a process that still exists ("host-pid").
bool ChromiumUserDataInUse(const std::string& folder);

// The browsers running now on the profiles below folders, found by every profile's lock,
// each with the profile's folder and its cache folder.
std::vector<RunningBrowser> FindRunningBrowsers(const BrowserFolders& folders);

}  // namespace hv
