#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "clean/ReportSink.h"
#include "fileio/CleanItem.h"
#include "fileio/PathFence.h"

namespace hv {

class UserInterface;

// What one cleaning run carries from item to item.
struct CleanContext {
  UserInterface& ui;
  ReportSink& report;              // every entry an action meets goes here
  bool wipe = false;               // the "Wipe files" setting, read at the start of the run
  bool preview = false;            // report what would go, change nothing
  std::string chosenProfile = {};  // the folder of the profile confirmed in this run, if any
  PathFence fence = {};            // what no item of this run deletes, and why
  std::vector<std::string> keptCookieSites = {};
  bool browsersAsked = false;  // the open-browser question was answered in this run
  bool aborted = false;        // the user ended the run before the item at hand
};

using CleanAction = std::function<void(const CleanItem&, CleanContext&)>;

// The actions of the cleaning run, one per kind code. A kind without an action is
// passed over.
class CleanActions {
 public:
  void Register(ItemKind kind, CleanAction action);
  const CleanAction* Find(int32_t kind) const;

 private:
  std::map<int32_t, CleanAction> actions_;
};

}  // namespace hv
