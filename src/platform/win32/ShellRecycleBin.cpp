#include "platform/win32/ShellRecycleBin.h"

#include "platform/win32/WindowsApi.h"
// The shell's headers need the system's types first.
#include <shellapi.h>
#include <shlobj.h>

#include <optional>
#include <string>

// Exported by shell32 but missing from the MinGW-w64 headers.
extern "C" __declspec(dllimport) void WINAPI SHUpdateRecycleBinIcon();

namespace hv {

namespace {

// The items and bytes of the bins of every drive; nullopt when the shell cannot tell.
std::optional<SHQUERYRBINFO> BinTotals() {
  SHQUERYRBINFO totals{};
  totals.cbSize = sizeof totals;
  if (FAILED(SHQueryRecycleBinA(nullptr, &totals))) {
    return std::nullopt;
  }
  return totals;
}

}  // namespace

void ShellRecycleBin::EmptyWithConfirmation(UserInterface& /*ui*/, ReportSink& report,
                                            bool preview) {
  const std::optional<SHQUERYRBINFO> before = BinTotals();
  if (!before || before->i64NumItems == 0) {
    return;
  }
  ReportEntry entry{.type = EntryType::kTrashItem,
                    .what = "Recycle Bin (" + std::to_string(before->i64NumItems) + " items)",
                    .bytes = static_cast<uint64_t>(before->i64Size),
                    .outcome = EntryOutcome::kWouldBeRemoved,
                    .reason = {}};
  if (preview) {
    report.Add(entry);
    return;
  }
  // The active window of this thread is the main window, so the shell's question is
  // modal to it. A refusal is the user's answer, not a failure: nothing is reported.
  if (SHEmptyRecycleBinA(GetActiveWindow(), nullptr, 0) == S_OK) {
    const std::optional<SHQUERYRBINFO> after = BinTotals();
    const bool emptied = after && after->i64NumItems == 0;
    entry.outcome = emptied ? EntryOutcome::kRemoved : EntryOutcome::kLeft;
    entry.reason = emptied ? "" : "not every item could be removed";
    report.Add(entry);
  }
  SHUpdateRecycleBinIcon();
}

}  // namespace hv
