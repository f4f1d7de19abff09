// Start-up time of the window: from the start of the process until the window is shown
// and both selection pages are loaded (offscreen, with the shipped config files). The
// program starts itself once per run, each in a fresh sandbox, and prints the median.
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/WebEngineSetup.h"
#include "app/frmMain.h"
#include "clean/StandardCleanActions.h"
#include "platform/PlatformServices.h"

namespace {

// Milliseconds since this process was started, by the kernel's own start time.
double MillisecondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string line;
  std::getline(stat, line);
  // Field 22 (start time in clock ticks since boot) counts from after the command name.
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 22; ++i) {
    fields >> field;
  }
  const double started = std::stod(field) * 1000.0 / sysconf(_SC_CLK_TCK);
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return now.tv_sec * 1000.0 + now.tv_nsec / 1e6 - started;
}

// Prints the time since process start at the end of start-up, then the parts: until the
// application object exists, until the window is shown, the window load, and one more
// reload of both pages as a tab switch does it.
int MeasureOnce(int argc, char** argv) {
  hv::PrepareWebEngine();
  QApplication app(argc, argv);
  const double appReady = MillisecondsSinceProcessStart();
  hv::PlatformServices services = hv::MakePlatformServices();
  hv::frmMainSetup setup;
  setup.configFolder = HUSHVAULT_SOURCE_DIR "/config";
  setup.actions = hv::StandardCleanActions(services);
  setup.restart = services.restart.get();
  hv::frmMain window(std::move(setup));
  window.show();
  const double shown = MillisecondsSinceProcessStart();
  window.Load();
  const double loaded = MillisecondsSinceProcessStart();
  window.FileToList();
  const double reloaded = MillisecondsSinceProcessStart();
  std::printf("%.1f %.1f %.1f %.1f %.1f\n", loaded, appReady, shown, loaded - shown,
              reloaded - loaded);
  return 0;
}

QProcessEnvironment Sandbox(const QString& root) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  const std::pair<const char*, const char*> folders[] = {{"HOME", "home"},
                                                         {"XDG_CONFIG_HOME", "home/.config"},
                                                         {"XDG_DATA_HOME", "home/.local/share"},
                                                         {"XDG_CACHE_HOME", "home/.cache"},
                                                         {"XDG_STATE_HOME", "home/.local/state"}};
  for (const auto& [variable, folder] : folders) {
    QDir().mkpath(root + "/" + folder);
    environment.insert(variable, root + "/" + folder);
  }
  environment.insert("HUSHVAULT_REGISTRY", root + "/registry.db");
  environment.insert("HUSHVAULT_NO_RESTART", "1");
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
  return environment;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--once") {
    return MeasureOnce(argc, argv);
  }
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  const char* const parts[] = {"process start to window shown, pages loaded",
                               "  of which: until the application object exists",
                               "  of which: until the window is shown", "  of which: window load",
                               "one more reload of both pages (a tab switch)"};
  constexpr int kParts = 5;
  std::vector<std::vector<double>> times(kParts);
  for (int run = 0; run < runs; ++run) {
    QTemporaryDir sandbox;
    QProcess child;
    child.setProcessEnvironment(Sandbox(sandbox.path()));
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.start(QString::fromLocal8Bit(argv[0]), {"--once"});
    child.waitForFinished(120000);
    const QStringList answer =
        QString::fromLocal8Bit(child.readAllStandardOutput()).split(' ', Qt::SkipEmptyParts);
    if (answer.size() != kParts) {
      std::fprintf(stderr, "run %d gave no time\n", run + 1);
      continue;
    }
    for (int part = 0; part < kParts; ++part) {
      times[part].push_back(answer[part].toDouble());
    }
  }
  if (times[0].empty()) {
    return 1;
  }
  for (int part = 0; part < kParts; ++part) {
    std::vector<double>& values = times[part];
    std::sort(values.begin(), values.end());
    std::printf("%-52s %9.1f ms median of %zu runs (fastest %.1f, slowest %.1f)\n", parts[part],
                values[values.size() / 2], values.size(), values.front(), values.back());
  }
  return 0;
}
