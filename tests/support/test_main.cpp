// Every test program starts in a sandbox: home, XDG folders and the registry hive point
// into a temporary folder, and restarts are refused, so no test can reach the real ones.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "TempFolder.h"

int main(int argc, char** argv) {
  const hv::test::TempFolder sandbox;
  const auto set = [&](const char* variable, const std::string& relative) {
    const std::filesystem::path folder = sandbox / relative;
    std::filesystem::create_directories(folder);
    setenv(variable, folder.c_str(), 1);
  };
  set("HOME", "home");
  set("XDG_CONFIG_HOME", "home/.config");
  set("XDG_DATA_HOME", "home/.local/share");
  set("XDG_CACHE_HOME", "home/.cache");
  set("XDG_STATE_HOME", "home/.local/state");
  setenv("HUSHVAULT_REGISTRY", (sandbox / "registry.db").c_str(), 1);
  setenv("HUSHVAULT_NO_RESTART", "1", 1);

  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
