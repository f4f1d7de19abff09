#pragma once

#include "clean/CleanActions.h"

namespace hv {

class RunningBrowsers;

// Puts the actions of the items that may touch the browsers' stores and files (cookies,
// history, cache, profile files, and file items in a browser's folders) behind a guard:
// before such an item runs, the browsers running on the profiles it may touch are found. The first
// time in a run, the user is asked to close them (Abort, Retry, Ignore): Retry looks
// again, Ignore goes on without their stores and files (the items report them as left),
// Abort ends the run before the item. Later items of the run, and a preview, leave the
// running browsers' stores and files without asking. Whatever the answer, nothing inside
// a running browser's folders is deleted.
// A file item (either kind) concerns only the browsers whose folders overlap its folder.
void GuardBrowserItems(CleanActions& actions, RunningBrowsers& browsers);

// The question naming the running browsers.
std::string BrowserOpenQuestion(const std::vector<std::string>& names);

}  // namespace hv
