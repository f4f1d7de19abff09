// The window tests run offscreen in the same sandbox as every other test program: home,
// XDG folders and the registry point into a temporary folder and restarts are refused.
#include <QApplication>
#include <QtTest>

#include "AppTests.h"
#include "Sandbox.h"
#include "TempFolder.h"
#include "app/WebEngineSetup.h"

int main(int argc, char** argv) {
  const hv::test::TempFolder sandbox;
  hv::test::EnterSandbox(sandbox.Path());
  // The first start-up test finds the settings store damaged, as after a crash.
  sandbox.Write("damaged-registry.db", std::string(4096, 'x'));
  qputenv("HUSHVAULT_REGISTRY", (sandbox / "damaged-registry.db").string().c_str());
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  hv::PrepareWebEngine();
  QApplication app(argc, argv);

  hv::test::StartupTest startup;
  hv::test::PresetCommandsTest presets;
  hv::test::PageCommandsTest pages;
  int failures = 0;
  for (QObject* test : {static_cast<QObject*>(&startup), static_cast<QObject*>(&presets),
                        static_cast<QObject*>(&pages)}) {
    failures += QTest::qExec(test, argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
