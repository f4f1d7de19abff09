#include "Sandbox.h"

#include <string>

#include "EnvironmentVariable.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#include <random>
#endif

namespace hv::test {
namespace {

#ifdef _WIN32
// The registry has no file to point elsewhere: HKEY_CURRENT_USER itself is redirected, for
// this process only, to a fresh key that is deleted again when the program ends.
class CurrentUserRedirect {
 public:
  static constexpr const char* kParent = "Software\\Hushvault tests";

  CurrentUserRedirect() {
    std::random_device seed;
    path_ = std::string(kParent) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(seed());
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key_, nullptr) != ERROR_SUCCESS ||
        RegOverridePredefKey(HKEY_CURRENT_USER, key_) != ERROR_SUCCESS) {
      std::abort();  // running on without the redirect would reach the user's own settings
    }
  }
  ~CurrentUserRedirect() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(key_);
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kParent);  // refused while other test programs run
  }
  CurrentUserRedirect(const CurrentUserRedirect&) = delete;
  CurrentUserRedirect& operator=(const CurrentUserRedirect&) = delete;

 private:
  std::string path_;
  HKEY key_ = nullptr;
};
#endif

}  // namespace

void EnterSandbox(const std::filesystem::path& root) {
  const auto set = [&](const char* variable, const std::string& relative) {
    const std::filesystem::path folder = root / relative;
    std::filesystem::create_directories(folder);
    SetVariable(variable, folder.string());
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
  SetVariable("HUSHVAULT_REGISTRY", (root / "registry.db").string());
  SetVariable("HUSHVAULT_NO_RESTART", "1");
#ifdef _WIN32
  set("USERPROFILE", "home");
  set("APPDATA", "home\\AppData\\Roaming");
  set("LOCALAPPDATA", "home\\AppData\\Local");
  static CurrentUserRedirect registry;
#endif
}

}  // namespace hv::test
