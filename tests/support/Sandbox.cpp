#include "Sandbox.h"

#include <cstdlib>
#include <string>

namespace hv::test {

void EnterSandbox(const std::filesystem::path& root) {
  const auto set = [&](const char* variable, const std::string& relative) {
    const std::filesystem::path folder = root / relative;
    std::filesystem::create_directories(folder);
    setenv(variable, folder.c_str(), 1);
  };
  set("HOME", "home");
  set("XDG_CONFIG_HOME", "home/.config");
  set("XDG_DATA_HOME", "home/.local/share");
  set("XDG_CACHE_HOME", "home/.cache");
  set("XDG_STATE_HOME", "home/.local/state");
  set("XDG_RUNTIME_DIR", "runtime");
  // The runtime folder must be the user's alone, or Qt refuses it.
  std::filesystem::permissions(root / "runtime", std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::replace);
  setenv("HUSHVAULT_REGISTRY", (root / "registry.db").c_str(), 1);
  setenv("HUSHVAULT_NO_RESTART", "1", 1);
}

}  // namespace hv::test
