// The window tests run offscreen in the same sandbox as every other test program: home,
// XDG folders and the registry point into a temporary folder and restarts are refused.
#include <QApplication>
#include <QtTest>
#include <memory>

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

  int failures = 0;
  for (QObject* (*make)() :
       {hv::test::MakeStartupTest, hv::test::MakePageCommandsTest, hv::test::MakeCleanReportTest}) {
    const std::unique_ptr<QObject> test(make());
    failures += QTest::qExec(test.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
