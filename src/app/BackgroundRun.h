#pragma once

#include <functional>

#include "app/ProgressFeed.h"

class QWidget;

namespace hv {

// Carries out run on a thread of its own while this, the window's thread, goes on
// handling events and shows the run's progress from feed in a window over window, with
// Cancel. Returns when run has returned, with its exception if it threw. Whatever run
// asks of the window must go through OnThreadOf.
void RunInBackground(const std::function<void()>& run, ProgressFeed feed, QWidget& window);

}  // namespace hv
