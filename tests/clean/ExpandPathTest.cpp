#include "clean/ExpandPath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RawRegistryValues.h"
#include "ScopedEnvironment.h"
#include "ScratchRegistry.h"

namespace hv {
namespace {

// The special folders AppData, Local AppData and Cache point at fixed folders: through the
// XDG folders on Linux, through the Shell Folders key on Windows.
class ExpandPathTest : public testing::Test {
 protected:
  ExpandPathTest() {
#ifdef _WIN32
    env.Unset("APPDATA");  // the system's own variable would win over the special folder
#endif
    SetFolder("AppData", "XDG_CONFIG_HOME", "/home/tester/.config");
    SetFolder("Local AppData", "XDG_DATA_HOME", "/home/tester/.local/share");
    SetFolder("Cache", "XDG_CACHE_HOME", "/home/tester/.cache");
  }

  void SetFolder([[maybe_unused]] const std::string& name, [[maybe_unused]] const char* variable,
                 const std::string& path) {
#ifdef _WIN32
    std::vector<uint8_t> data(path.begin(), path.end());
    data.push_back(0);
    ASSERT_TRUE(test::WriteRaw(registry.Backend(), kHkeyCurrentUser, kShellFoldersKey, name,
                               reg::kSz, data));
#else
    env.Set(variable, path);
#endif
  }

  test::ScopedEnvironment env;
  test::ScratchRegistry registry;
};

TEST_F(ExpandPathTest, ExpandsEnvironmentThenSpecialFolders) {
  env.Set("HV_EXPAND_LONG", std::string(300, 'e'));
  const struct {
    const char* what;
    std::string path;
    std::string expected;
  } cases[] = {
      {"no placeholder", "/usr/share/doc/", "/usr/share/doc/"},
      {"application data", "%AppData%/Mozilla/Profiles/", "/home/tester/.config/Mozilla/Profiles/"},
      {"other letter case", "%APPDATA%/a/%appdata%/b/",
       "/home/tester/.config/a//home/tester/.config/b/"},
      {"named twice", "%Cache%/x:%Cache%/y", "/home/tester/.cache/x:/home/tester/.cache/y"},
      {"name with a blank", "%Local AppData%/Trash/", "/home/tester/.local/share/Trash/"},
      {"unknown name kept", "%NoSuchFolder%/x/", "%NoSuchFolder%/x/"},
      {"unclosed placeholder kept", "%AppData/x", "%AppData/x"},
      {"longer than 255 characters", "%HV_EXPAND_LONG%/%AppData%/%Cache%",
       std::string(300, 'e') + "//home/tester/.config//home/tester/.cache"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExpandPath(c.path), c.expected) << c.what;
  }
}

TEST_F(ExpandPathTest, TheEnvironmentBeatsTheSpecialFolder) {
  env.Set("AppData", "/from/environment");
  EXPECT_EQ(ExpandPath("%AppData%/x/"), "/from/environment/x/");
}

}  // namespace
}  // namespace hv
