#pragma once

#include <string>

#include "clean/CleanActions.h"
#include "fileio/CleanItem.h"

namespace hv {

class RestartService;
class SelectionDocument;
class UserInterface;

inline constexpr const char* kCleaningCaption = "Hushvault - Cleaning up - please wait...";
inline constexpr const char* kMainCaption = "Hushvault";

// Carries out, in list order, every item whose check box is checked on the page, then
// offers the restart (when a checked item needs one) or reports "Cleanup Complete!".
// An item whose action fails is passed over; the window is always enabled again.
void CleanRun(const CleanItemList& items, SelectionDocument& document, UserInterface& ui,
              const CleanActions& actions, RestartService& restart);

}  // namespace hv
