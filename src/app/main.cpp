#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/OpenRequest.h"
#include "app/RunMainWindow.h"
#include "app/SingleInstance.h"
#include "app/WebEngineSetup.h"
#include "app/frmMain.h"
#include "clean/StandardCleanActions.h"
#include "platform/DataFolder.h"
#include "platform/PlatformServices.h"

namespace {

std::string WorkingFolder() {
  std::error_code error;
  return std::filesystem::current_path(error).string();
}

}  // namespace

int main(int argc, char* argv[]) {
  hv::PrepareWebEngine();
  QApplication app(argc, argv);
  QApplication::setApplicationName("Hushvault");
  QApplication::setApplicationVersion(HUSHVAULT_VERSION);
  // Lets Wayland desktops match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName("io.github.hushvault.Hushvault");

  // The arguments as bytes, after Qt took its own: a file name need not be text.
  const hv::StartRequest request =
      hv::ParseArguments(std::vector<std::string>(argv + 1, argv + argc), WorkingFolder());
  if (!request.error.empty()) {
    std::fprintf(stderr, "%s\n%s\n", request.error.c_str(), hv::kUsage);
    return 2;
  }
  hv::SingleInstance instance(hv::MeetingPointName());
  switch (instance.Begin(request.files)) {
    case hv::SingleInstance::Start::kHandedOver:
      return 0;
    case hv::SingleInstance::Start::kNoAnswer:
      std::fprintf(stderr,
                   "Hushvault is running already but did not answer; nothing was handed to "
                   "it.\n");
      return 1;
    case hv::SingleInstance::Start::kFirst:
      break;
  }

  hv::PlatformServices services = hv::MakePlatformServices();
  hv::frmMainSetup setup;
  const hv::DataFolderSearch data = hv::FindDataFolder();
  if (data.found) {
    setup.configFolder = QString::fromStdString(*data.found);
  } else {
    setup.configNotFound = hv::DataFolderNotFound(data);
    std::fprintf(stderr, "%s\n", setup.configNotFound.c_str());
  }
  setup.actions = hv::StandardCleanActions(services);
  setup.restart = services.restart.get();
  hv::frmMain window(std::move(setup));
  return hv::RunMainWindow(window, [&] {
    if (request.tab != 0) {
      window.ShowTab(request.tab);
    }
    if (!request.files.empty()) {
      window.OpenFiles(request.files);
    }
    instance.SetReceiver(
        [&window](const std::vector<hv::FileToOpen>& files) { window.OpenFiles(files); });
  });
}
