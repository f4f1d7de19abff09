// How long `hushvault-cli clean` takes over the Web cleaner's three web-trace items (10,000
// cookies, visited pages and cache files of a Firefox profile), beside the same run of the
// engine alone in this process: goal within 1.1 times, the medians of kRounds rounds, each
// on fresh fixtures. The fixture is the home of both runs.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "ChildProgram.h"
#include "QuietUserInterface.h"
#include "WebTracesFixture.h"
#include "clean/CleanRun.h"
#include "clean/RunReport.h"
#include "clean/StandardCleanActions.h"
#include "fileio/DefinitionLoader.h"
#include "platform/PlatformServices.h"
#include "ports/SelectionDocument.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRounds = 3;
const std::vector<std::string> kKeys = {"Cookies", "History", "TemporaryInternetFiles"};
const std::string kConfig = HUSHVAULT_SOURCE_DIR "/config";

// The page with exactly the three items checked.
class ThreeItems : public hv::SelectionDocument {
 public:
  bool IsCheckedByKey(const std::string& key) override {
    return std::find(kKeys.begin(), kKeys.end(), key) != kKeys.end();
  }
  int CheckBoxCount() override { return 0; }
  bool CheckBoxState(int) override { return false; }
  void ClickCheckBox(int) override {}
};

bench::WebTraces FreshHome(const fs::path& root) {
  bench::WebTraces traces = bench::BuildWebTraces(root);
  std::system("sync");
  setenv("HOME", traces.home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (traces.home / ".config").c_str(), 1);
  setenv("XDG_CACHE_HOME", (traces.home / ".cache").c_str(), 1);
  setenv("XDG_DATA_HOME", (traces.home / ".local/share").c_str(), 1);
  setenv("HUSHVAULT_REGISTRY", (root / "registry.db").c_str(), 1);
  return traces;
}

double EngineAlone() {
  hv::CleanItemList items;
  hv::LoadCleanItems(kConfig + "/webclean.cln", items);
  ThreeItems page;
  bench::QuietUserInterface ui(hv::MessageAnswer::kYes);  // as --yes
  const auto start = std::chrono::steady_clock::now();
  hv::PlatformServices services = hv::MakePlatformServices();
  const hv::CleanActions actions = hv::StandardCleanActions(services);
  hv::RunReport report;
  hv::CleanRun(items, page, ui, actions, *services.restart, {.preview = false, .report = &report});
  const std::chrono::duration<double, std::milli> elapsed =
      std::chrono::steady_clock::now() - start;
  if (report.Totals().Entries() < 3u * bench::kTraceCount) {
    std::fprintf(stderr, "the engine met only %llu entries\n",
                 static_cast<unsigned long long>(report.Totals().Entries()));
    std::exit(1);
  }
  return elapsed.count();
}

double CommandLine() {
  std::vector<std::string> args = {HUSHVAULT_CLI, "--config",  kConfig, "clean",
                                   "--web",       "--no-wipe", "--yes"};
  args.insert(args.end(), kKeys.begin(), kKeys.end());
  const double ms = bench::TimedRun(args);
  if (ms < 0) {
    std::fprintf(stderr, "hushvault-cli clean failed\n");
    std::exit(1);
  }
  return ms;
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

// The fixture goes below the folder given (the system's temporary folder by default).
int main(int argc, char** argv) {
  const fs::path base = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
  std::string pattern = (base / "hushvault-cli-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror(pattern.c_str());
    return 1;
  }
  setenv("HUSHVAULT_NO_RESTART", "1", 1);
  const fs::path root = fs::path(pattern) / "fixture";
  std::vector<double> engine;
  std::vector<double> cli;
  for (int round = 0; round < kRounds; ++round) {
    FreshHome(root);
    engine.push_back(EngineAlone());
    const bench::WebTraces traces = FreshHome(root);
    cli.push_back(CommandLine());
    if (!fs::is_empty(traces.entries)) {
      std::fprintf(stderr, "the command line left cache files\n");
      return 1;
    }
  }
  const double engineMedian = Median(engine);
  const double cliMedian = Median(cli);
  std::printf("web traces, engine alone:  %8.1f ms\n", engineMedian);
  std::printf("web traces, hushvault-cli: %8.1f ms, ratio %.3f %s\n", cliMedian,
              cliMedian / engineMedian,
              cliMedian <= 1.1 * engineMedian ? "(within 1.1x)" : "(over 1.1x)");
  fs::remove_all(pattern);
  return 0;
}
