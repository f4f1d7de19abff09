#pragma once

#include <optional>
#include <utility>

#include "platform/RunningBrowsers.h"
#include "platform/posix/browser/BrowserFolders.h"
#include "platform/posix/browser/ProfileLock.h"

namespace hv {

// The browsers running on the profiles below the user's folders (or the given ones), found
// by their profile locks.
class RunningBrowserLocks : public RunningBrowsers {
 public:
  RunningBrowserLocks() = default;
  explicit RunningBrowserLocks(BrowserFolders folders) : folders_(std::move(folders)) {}

  std::vector<RunningBrowser> Find() override {
    return FindRunningBrowsers(folders_ ? *folders_ : BrowserFolders::ForCurrentUser());
  }

 private:
  std::optional<BrowserFolders> folders_;
};

}  // namespace hv
