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
// The registry has no file to point elsewhere: HKEY_CURRENT_USER and HKEY_CLASSES_ROOT are
// redirected, for this process only, to fresh keys that are deleted when the program ends.
class RegistryRedirect {
 public:
  static constexpr const char* kParent = "Software\\Hushvault tests";

  RegistryRedirect() {
    std::random_device seed;
    path_ = std::string(kParent) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(seed());
    // Both keys are made before either root is redirected, below the user's own key.
    user_ = Create(path_ + "\\User");
    classes_ = Create(path_ + "\\Classes");
    if (RegOverridePredefKey(HKEY_CURRENT_USER, user_) != ERROR_SUCCESS ||
        RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_) != ERROR_SUCCESS) {
      std::abort();  // running on without the redirect would reach the user's own settings
    }
  }
  ~RegistryRedirect() {
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(classes_);
    RegCloseKey(user_);
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kParent);  // refused while other test programs run
  }
  RegistryRedirect(const RegistryRedirect&) = delete;
  RegistryRedirect& operator=(const RegistryRedirect&) = delete;

  void Empty() {
    RegDeleteTreeA(user_, nullptr);
    RegDeleteTreeA(classes_, nullptr);
  }

 private:
  static HKEY Create(const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
      std::abort();
    }
    return key;
  }

  std::string path_;
  HKEY user_ = nullptr;
  HKEY classes_ = nullptr;
};

RegistryRedirect& Redirect() {
  static RegistryRedirect redirect;
  return redirect;
}
#endif

}  // namespace

#ifdef _WIN32
void EmptySandboxRegistry() {
  Redirect().Empty();
}
#endif

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
  Redirect();
#endif
}

}  // namespace hv::test
