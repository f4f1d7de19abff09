// Carries out items of a definition file over the current user's folders, as checked items
// of a cleaning run would be, and prints every entry of their report. For end-to-end checks
// on a sandbox home (scripts/desktop-traces-check.sh); it asks nothing, so items that need
// an answer (the trash, a Firefox profile) do nothing here.
//
// Usage: run_items DEFINITION_FILE [--preview] KEY...
#include <cstdio>
#include <exception>
#include <set>
#include <string>

#include "QuietUserInterface.h"
#include "clean/StandardCleanActions.h"
#include "fileio/DefinitionLoader.h"
#include "platform/PlatformServices.h"
#include "util/NumberedError.h"

namespace {

class PrintingSink : public hv::ReportSink {
 public:
  void Add(const hv::ReportEntry& entry) override {
    const char* outcome = entry.outcome == hv::EntryOutcome::kRemoved          ? "removed"
                          : entry.outcome == hv::EntryOutcome::kWouldBeRemoved ? "would go"
                                                                               : "left";
    std::printf("  %-8s %s%s%s\n", outcome, entry.what.c_str(), entry.reason.empty() ? "" : ": ",
                entry.reason.c_str());
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s DEFINITION_FILE [--preview] KEY...\n", argv[0]);
    return 2;
  }
  bool preview = false;
  std::set<std::string> keys;
  for (int i = 2; i < argc; ++i) {
    if (std::string(argv[i]) == "--preview") {
      preview = true;
    } else {
      keys.insert(argv[i]);
    }
  }
  try {
    hv::CleanItemList items;
    hv::LoadCleanItems(argv[1], items);
    hv::PlatformServices services = hv::MakePlatformServices();
    const hv::CleanActions actions = hv::StandardCleanActions(services);
    bench::QuietUserInterface ui;  // never says yes: the trash and a profile stay
    PrintingSink report;
    for (const hv::CleanItem& item : items) {
      if (!keys.contains(item.Key)) {
        continue;
      }
      std::printf("%s (kind %d)\n", item.Key.c_str(), item.Kind);
      if (const hv::CleanAction* action = actions.Find(item.Kind)) {
        hv::CleanContext context{.ui = ui, .report = report, .preview = preview};
        (*action)(item, context);
      }
    }
  } catch (const hv::NumberedError& error) {
    std::fprintf(stderr, "error %ld: %s\n", error.Number(), error.Description().c_str());
    return 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "error: %s\n", error.what());
    return 1;
  }
  return 0;
}
