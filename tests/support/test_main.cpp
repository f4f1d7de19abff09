// Every test program starts in a sandbox: home, XDG folders and the registry hive point
// into a temporary folder, and restarts are refused, so no test can reach the real ones.
#include <gtest/gtest.h>

#include "Sandbox.h"
#include "TempFolder.h"

int main(int argc, char** argv) {
  const hv::test::TempFolder sandbox;
  hv::test::EnterSandbox(sandbox.Path());

  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
