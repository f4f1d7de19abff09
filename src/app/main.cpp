#include <QApplication>

#include "app/RunMainWindow.h"
#include "app/WebEngineSetup.h"
#include "app/frmMain.h"
#include "clean/StandardCleanActions.h"
#include "platform/PlatformServices.h"

int main(int argc, char* argv[]) {
  hv::PrepareWebEngine();
  QApplication app(argc, argv);
  QApplication::setApplicationName("Hushvault");
  QApplication::setApplicationVersion(HUSHVAULT_VERSION);

  hv::PlatformServices services = hv::MakePlatformServices();
  hv::frmMainSetup setup;
  setup.programFolder = QCoreApplication::applicationDirPath();
  setup.actions = hv::StandardCleanActions(services);
  setup.restart = services.restart.get();
  hv::frmMain window(std::move(setup));
  return hv::RunMainWindow(window);
}
