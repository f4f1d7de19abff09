#pragma once

#include <string>

#include "clean/CleanActions.h"
#include "fileio/CleanItem.h"

namespace hv {

class RestartService;
class RunReport;
class SelectionDocument;
class UserInterface;

inline constexpr const char* kCleaningCaption = "Hushvault - Cleaning up - please wait...";
inline constexpr const char* kMainCaption = "Hushvault";

struct RunOptions {
  // Report what would go and change nothing: no item is asked about, nothing is said at
  // the end and no restart is offered; the report is the answer.
  bool preview = false;
  // Where the entries go; nullptr: a report of the run's own, read only for its closing
  // message.
  RunReport* report = nullptr;
};

// Carries out, in list order, every item whose check box is checked on the page, then
// offers the restart (when a checked item needs one) or reports "Cleanup Complete!",
// naming the items that left something behind. An item whose action fails is reported
// as left with its error and the run goes on; the window is always enabled again. A stop
// requested through the report ends the run after the entry at work, without a closing
// message.
void CleanRun(const CleanItemList& items, SelectionDocument& document, UserInterface& ui,
              const CleanActions& actions, RestartService& restart, RunOptions options = {});

}  // namespace hv
