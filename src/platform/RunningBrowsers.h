#pragma once

#include <string>
#include <vector>

namespace hv {

// A browser that holds one of the user's profiles open right now.
struct RunningBrowser {
  std::string name;                  // as the user knows it: "Firefox", "Chromium"
  std::vector<std::string> folders;  // its profile folder and the cache folders of it
};

// Which browsers are running on the user's profiles, found by the locks they hold on
// them. A lock left behind by a process that is gone, or taken on another machine that
// shares the folder, does not count.
class RunningBrowsers {
 public:
  virtual ~RunningBrowsers() = default;

  // Looks afresh at every call.
  virtual std::vector<RunningBrowser> Find() = 0;
};

}  // namespace hv
