#include "clean/CleanRun.h"

#include <exception>
#include <utility>

#include "clean/DesktopCaches.h"
#include "clean/KeepLists.h"
#include "clean/RunReport.h"
#include "platform/RestartService.h"
#include "ports/SelectionDocument.h"
#include "ports/UserInterface.h"

namespace hv {
namespace {

constexpr int kWipeSetting = 0;
constexpr int kWarnSetting = 1;

constexpr const char* kComplete = "Cleanup Complete!";
constexpr const char* kRestartNeeded =
    "\r\nTo complete the process you will need to restart the computer";
constexpr const char* kRestartQuestion = "\r\nDo you want to do that now?";

// Empty when every item was cleaned completely; otherwise a paragraph that names each
// item that was not, with its first reason.
std::string LeftItemsParagraph(const RunReport& report) {
  std::string text;
  for (const std::string& line : report.ItemsLeft()) {
    text += "\r\n" + line;
  }
  return text.empty() ? text : "\r\n\r\nSome items could not be cleaned completely:" + text;
}

bool IsChecked(SelectionDocument& document, const std::string& key) {
  try {
    return document.IsCheckedByKey(key);
  } catch (...) {
    return false;  // a page that cannot answer leaves the item unchecked
  }
}

// Keeps the main window disabled, with the waiting caption, for exactly as long as the
// items run, whatever happens inside them.
class BusyWindow {
 public:
  explicit BusyWindow(UserInterface& ui) : ui_(ui) {
    ui_.SetMainWindowEnabled(false);
    ui_.SetMainWindowCaption(kCleaningCaption);
  }
  ~BusyWindow() {
    ui_.SetMainWindowEnabled(true);
    ui_.SetMainWindowCaption(kMainCaption);
  }
  BusyWindow(const BusyWindow&) = delete;
  BusyWindow& operator=(const BusyWindow&) = delete;

 private:
  UserInterface& ui_;
};

// The item's failure ends the item only: it is reported, and the run goes on.
void RunItem(const CleanItem& item, const CleanActions& actions, CleanContext& context,
             RunReport& report) {
  report.BeginItem(item);
  const CleanAction* action = actions.Find(item.Kind);
  if (action == nullptr) {
    return;
  }
  try {
    (*action)(item, context);
  } catch (const std::exception& error) {
    report.ItemFailed(error.what());
  } catch (...) {
    report.ItemFailed("an unknown error");
  }
}

// What the user keeps, and what the desktop session needs, binds every item of the run,
// whichever front end started it.
void FenceWhatIsKept(CleanContext& context) {
  KeepLists keep;
  try {
    keep = ReadKeepLists();
  } catch (const std::exception& error) {
    // Without its keep lists the run could delete what the user keeps: it cleans nothing.
    context.report.Add({.type = EntryType::kSettingsKey,
                        .what = kKeepPathsKey,
                        .bytes = {},
                        .outcome = EntryOutcome::kLeft,
                        .reason = error.what()});
    context.aborted = true;
    return;
  }
  FenceKeptPlaces(keep, context.fence);
  context.keptCookieSites = std::move(keep.cookieSites);
  FenceDesktopCaches(context.fence);
}

void CloseRun(bool needRestart, const RunReport& report, UserInterface& ui,
              RestartService& restart) {
  const std::string left = LeftItemsParagraph(report);
  if (needRestart) {
    // The question keeps the last line, set apart from the list of items.
    const std::string question =
        left.empty() ? kRestartQuestion : "\r\n" + std::string(kRestartQuestion);
    if (ui.MessageBox(kComplete + (kRestartNeeded + left) + question,
                      MessageStyle::kYesNo | MessageStyle::kQuestion,
                      "Restart") == MessageAnswer::kYes) {
      restart.RequestRestart();
    }
  } else {
    ui.MessageBox(kComplete + left, MessageStyle::kOkOnly | MessageStyle::kInformation, kAppTitle);
  }
}

}  // namespace

void CleanRun(const CleanItemList& items, SelectionDocument& document, UserInterface& ui,
              const CleanActions& actions, RestartService& restart, RunOptions options) {
  RunReport ownReport;
  RunReport& report = options.report != nullptr ? *options.report : ownReport;
  bool needRestart = false;
  bool aborted = false;
  {
    const BusyWindow busy(ui);
    CleanContext context{.ui = ui,
                         .report = report,
                         .wipe = ui.SettingChecked(kWipeSetting),
                         .preview = options.preview};
    FenceWhatIsKept(context);
    // A preview asks nothing: it changes nothing the user could regret.
    const bool warn = !options.preview && ui.SettingChecked(kWarnSetting);

    for (const CleanItem& item : items) {
      if (report.StopRequested() || context.aborted) {
        break;
      }
      if (IsChecked(document, item.Key)) {
        if (item.NeedsRestart) {
          needRestart = true;  // even when the user then declines the item
        }
        const bool confirmed = !(item.Confirm && warn) ||
                               ui.MessageBox("Are you sure you want to: \r\n" + item.Caption + "?",
                                             MessageStyle::kYesNo | MessageStyle::kQuestion,
                                             kAppTitle) == MessageAnswer::kYes;
        if (confirmed) {
          RunItem(item, actions, context, report);
        }
      }
      ui.ProcessPendingMessages();
    }
    aborted = context.aborted;
  }

  if (!options.preview && !report.StopRequested() && !aborted) {
    CloseRun(needRestart, report, ui, restart);
  }
}

}  // namespace hv
