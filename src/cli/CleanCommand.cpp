#include "cli/CleanCommand.h"

#include <algorithm>
#include <memory>
#include <ostream>

#include "clean/CleanRun.h"
#include "clean/RunReport.h"
#include "clean/StandardCleanActions.h"
#include "cli/CommandError.h"
#include "cli/ProgressLine.h"
#include "cli/ReportJson.h"
#include "cli/StoredSettings.h"
#include "cli/TerminalUserInterface.h"
#include "platform/PlatformServices.h"
#include "platform/Terminal.h"

namespace hv::cli {
namespace {

// The question the run asks before a sensitive item, as the terminal shows it.
std::string ConfirmationOf(const CleanItem& item) {
  return TerminalText("Are you sure you want to: \r\n" + item.Caption + "?");
}

// The checked items, split into those that ran (in the report's order) and those that
// were skipped because their question got no Yes.
struct ItemOutcomes {
  std::vector<const CleanItem*> ran;
  std::vector<const CleanItem*> skipped;
};

ItemOutcomes SortOutItems(LoadedCleaner& loaded, const std::vector<std::string>& unanswered) {
  ItemOutcomes outcomes;
  for (const CleanItem& item : loaded.items) {
    if (!loaded.page.IsCheckedByKey(item.Key)) {
      continue;
    }
    const bool declined = item.Confirm && std::find(unanswered.begin(), unanswered.end(),
                                                    ConfirmationOf(item)) != unanswered.end();
    (declined ? outcomes.skipped : outcomes.ran).push_back(&item);
  }
  return outcomes;
}

std::vector<std::string> OtherQuestions(const ItemOutcomes& outcomes,
                                        const std::vector<std::string>& unanswered) {
  std::vector<std::string> others;
  for (const std::string& question : unanswered) {
    if (std::none_of(
            outcomes.skipped.begin(), outcomes.skipped.end(),
            [&question](const CleanItem* item) { return ConfirmationOf(*item) == question; })) {
      others.push_back(question);
    }
  }
  return others;
}

void WriteJson(const CleanRequest& request, const RunReport& report, const ItemOutcomes& outcomes,
               const std::vector<std::string>& others, int status, std::ostream& out) {
  std::vector<std::string> keys;
  for (const CleanItem* item : outcomes.ran) {
    keys.push_back(item->Key);
  }
  nlohmann::json skipped = nlohmann::json::array();
  for (const CleanItem* item : outcomes.skipped) {
    skipped.push_back({{"key", item->Key},
                       {"caption", item->Caption},
                       {"reason", "not confirmed (no terminal and no --yes)"}});
  }
  const nlohmann::json document = {
      {"version", kJsonVersion},
      {"command", request.preview ? "preview" : "clean"},
      {"cleaner", request.cleaner->option},
      {"items",
       ItemsJson(report, keys.size() == report.ItemCount() ? keys : std::vector<std::string>())},
      {"skipped", skipped},
      {"unanswered", others},
      {"totals", TotalsJson(report)},
      {"status", status}};
  out << JsonText(document) << std::endl;
}

void WriteText(const CleanRequest& request, const RunReport& report, const ItemOutcomes& outcomes,
               const std::vector<std::string>& others, std::ostream& out) {
  report.WriteText(out, request.preview ? "Preview: nothing was changed." : "Cleanup report");
  for (const CleanItem* item : outcomes.skipped) {
    out << "Skipped, not confirmed (no terminal and no --yes): " << item->Caption << " ["
        << item->Key << "]\n";
  }
  for (const std::string& question : others) {
    out << "Left unanswered (no terminal): " << question << "\n";
  }
  out << std::flush;
}

nlohmann::json ItemsListJson(LoadedCleaner& loaded) {
  nlohmann::json items = nlohmann::json::array();
  for (const CleanItem& item : loaded.items) {
    items.push_back({{"key", item.Key},
                     {"caption", item.Caption},
                     {"kind", item.Kind},
                     {"sensitive", item.Confirm},
                     {"needsRestart", item.NeedsRestart},
                     {"checked", loaded.page.IsCheckedByKey(item.Key)}});
  }
  return {{"cleaner", loaded.cleaner.option}, {"items", items}};
}

void WriteItems(LoadedCleaner& loaded, std::ostream& out) {
  for (const CleanItem& item : loaded.items) {
    out << (loaded.page.IsCheckedByKey(item.Key) ? "[x] " : "[ ] ") << item.Key << "  (kind "
        << item.Kind << (item.Confirm ? ", sensitive" : "")
        << (item.NeedsRestart ? ", needs restart" : "") << ")\n    " << item.Caption << "\n";
  }
  out << std::flush;
}

}  // namespace

int RunClean(const CleanRequest& request, std::ostream& out, std::ostream& err) {
  LoadedCleaner loaded = LoadCleaner(*request.cleaner, request.configFolder);
  if (!request.preset.empty()) {
    ApplyNamedPreset(loaded, request.preset);
  } else if (!request.keys.empty()) {
    CheckOnly(loaded, request.keys);
  }

  const StoredSettings settings = ReadStoredSettings();
  AnswerPolicy policy;
  policy.interactive = IsTerminal(StandardStream::kInput);
  policy.yes = request.yes;
  policy.allowRestart = request.allowRestart;
  policy.profile = request.profile;
  policy.wipe = request.wipe.value_or(settings.wipe);
  policy.warn = settings.warn;
  // With --json the report is the only thing on standard output.
  TerminalUserInterface ui(policy, request.json ? err : out, err);
  PlatformServices services = MakePlatformServices();
  const CleanActions actions = StandardCleanActions(services);
  RunReport report;
  {
    std::unique_ptr<ProgressLine> progress;
    if (IsTerminal(StandardStream::kError)) {
      progress = std::make_unique<ProgressLine>(report, ui.TerminalLock(), err);
      ui.ShowsProgress(true);
    }
    CleanRun(loaded.items, loaded.page, ui, actions, *services.restart,
             {.preview = request.preview, .report = &report});
    ui.ShowsProgress(false);
  }

  const ItemOutcomes outcomes = SortOutItems(loaded, ui.Unanswered());
  const std::vector<std::string> others = OtherQuestions(outcomes, ui.Unanswered());
  const bool complete = report.ItemsLeft().empty() && ui.Unanswered().empty();
  const int status = complete ? ExitStatus::kDone : ExitStatus::kSomeLeft;
  if (request.json) {
    WriteJson(request, report, outcomes, others, status, out);
  } else {
    WriteText(request, report, outcomes, others, out);
  }
  return status;
}

int ListItems(const std::vector<const Cleaner*>& cleaners, const std::string& configFolder,
              bool json, std::ostream& out) {
  nlohmann::json documents = nlohmann::json::array();
  for (const Cleaner* cleaner : cleaners) {
    LoadedCleaner loaded = LoadCleaner(*cleaner, configFolder);
    if (json) {
      documents.push_back(ItemsListJson(loaded));
    } else {
      out << cleaner->kind << " cleaner:\n";
      WriteItems(loaded, out);
    }
  }
  if (json) {
    out << JsonText({{"version", kJsonVersion}, {"command", "list"}, {"cleaners", documents}})
        << std::endl;
  }
  return ExitStatus::kDone;
}

}  // namespace hv::cli
