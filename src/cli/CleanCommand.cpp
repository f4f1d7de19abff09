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

// The checked items that were skipped because their question got no answer.
std::vector<const CleanItem*> SkippedItems(LoadedCleaner& loaded,
                                           const std::vector<std::string>& unanswered) {
  std::vector<const CleanItem*> skipped;
  for (const CleanItem& item : loaded.items) {
    if (item.Confirm && loaded.page.IsCheckedByKey(item.Key) &&
        std::find(unanswered.begin(), unanswered.end(), ConfirmationOf(item)) != unanswered.end()) {
      skipped.push_back(&item);
    }
  }
  return skipped;
}

// The key of each item of the report: the items ran in list order, so each is the next
// checked item with its caption (items the user declined left no trace in the report).
std::vector<std::string> ReportKeys(LoadedCleaner& loaded, const RunReport& report) {
  std::vector<std::string> keys;
  auto next = loaded.items.begin();
  for (size_t index = 0; index < report.ItemCount(); ++index) {
    const std::string caption = report.Item(index).caption;
    next = std::find_if(next, loaded.items.end(), [&](const CleanItem& item) {
      return item.Caption == caption && loaded.page.IsCheckedByKey(item.Key);
    });
    if (next == loaded.items.end()) {
      break;
    }
    keys.push_back(next++->Key);
  }
  return keys;
}

std::vector<std::string> OtherQuestions(const std::vector<const CleanItem*>& skipped,
                                        const std::vector<std::string>& unanswered) {
  std::vector<std::string> others;
  for (const std::string& question : unanswered) {
    if (std::none_of(skipped.begin(), skipped.end(), [&question](const CleanItem* item) {
          return ConfirmationOf(*item) == question;
        })) {
      others.push_back(question);
    }
  }
  return others;
}

// What a run met, and what it could not ask, for the command line to tell.
struct RunOutcome {
  const RunReport& report;
  std::vector<std::string> keys;  // of the report's items
  std::vector<const CleanItem*> skipped;
  std::vector<std::string> others;  // questions that belong to no skipped item
  int status;
};

void WriteJson(const CleanRequest& request, const RunOutcome& run, std::ostream& out) {
  nlohmann::json skipped = nlohmann::json::array();
  for (const CleanItem* item : run.skipped) {
    skipped.push_back({{"key", item->Key},
                       {"caption", item->Caption},
                       {"reason", "not confirmed (no terminal and no --yes)"}});
  }
  const nlohmann::json document = {{"version", kJsonVersion},
                                   {"command", request.preview ? "preview" : "clean"},
                                   {"cleaner", request.cleaner->option},
                                   {"items", ItemsJson(run.report, run.keys)},
                                   {"skipped", skipped},
                                   {"unanswered", run.others},
                                   {"totals", TotalsJson(run.report)},
                                   {"status", run.status}};
  out << JsonText(document) << std::endl;
}

void WriteText(const CleanRequest& request, const RunOutcome& run, std::ostream& out) {
  run.report.WriteText(out, request.preview ? "Preview: nothing was changed." : "Cleanup report");
  for (const CleanItem* item : run.skipped) {
    out << "Skipped, not confirmed (no terminal and no --yes): " << item->Caption << " ["
        << item->Key << "]\n";
  }
  for (const std::string& question : run.others) {
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

  RunOutcome run{.report = report,
                 .keys = ReportKeys(loaded, report),
                 .skipped = SkippedItems(loaded, ui.Unanswered()),
                 .others = {},
                 .status = report.ItemsLeft().empty() && ui.Unanswered().empty()
                               ? ExitStatus::kDone
                               : ExitStatus::kSomeLeft};
  run.others = OtherQuestions(run.skipped, ui.Unanswered());
  if (request.json) {
    WriteJson(request, run, out);
  } else {
    WriteText(request, run, out);
  }
  return run.status;
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
