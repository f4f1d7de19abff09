#include "clean/CleanRun.h"

#include "platform/RestartService.h"
#include "ports/SelectionDocument.h"
#include "ports/UserInterface.h"

namespace hv {
namespace {

constexpr int kWipeSetting = 0;
constexpr int kWarnSetting = 1;

constexpr const char* kRestartQuestion =
    "Cleanup Complete!\r\n"
    "To complete the process you will need to restart the computer\r\n"
    "Do you want to do that now?";

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

// The run keeps no report of its own yet; what the actions send is let go.
class UnkeptReport : public ReportSink {
 public:
  void Add(const ReportEntry&) override {}
};

void RunItem(const CleanItem& item, const CleanActions& actions, CleanContext& context) {
  const CleanAction* action = actions.Find(item.Kind);
  if (action == nullptr) {
    return;
  }
  try {
    (*action)(item, context);
  } catch (...) {
    // The item is skipped; the rest of the run must still happen.
  }
}

}  // namespace

void CleanRun(const CleanItemList& items, SelectionDocument& document, UserInterface& ui,
              const CleanActions& actions, RestartService& restart) {
  bool needRestart = false;
  {
    const BusyWindow busy(ui);
    UnkeptReport report;
    CleanContext context{.ui = ui, .report = report, .wipe = ui.SettingChecked(kWipeSetting)};
    const bool warn = ui.SettingChecked(kWarnSetting);

    for (const CleanItem& item : items) {
      if (IsChecked(document, item.Key)) {
        if (item.NeedsRestart) {
          needRestart = true;  // even when the user then declines the item
        }
        const bool confirmed = !(item.Confirm && warn) ||
                               ui.MessageBox("Are you sure you want to: \r\n" + item.Caption + "?",
                                             MessageStyle::kYesNo | MessageStyle::kQuestion,
                                             kAppTitle) == MessageAnswer::kYes;
        if (confirmed) {
          RunItem(item, actions, context);
        }
      }
      ui.ProcessPendingMessages();
    }
  }

  if (needRestart) {
    if (ui.MessageBox(kRestartQuestion, MessageStyle::kYesNo | MessageStyle::kQuestion,
                      "Restart") == MessageAnswer::kYes) {
      restart.RequestRestart();
    }
  } else {
    ui.MessageBox("Cleanup Complete!", MessageStyle::kOkOnly | MessageStyle::kInformation,
                  kAppTitle);
  }
}

}  // namespace hv
