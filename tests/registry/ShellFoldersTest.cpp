#include "platform/posix/ShellFolders.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "RawRegistryValues.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "platform/EnvironmentExpansion.h"
#include "platform/posix/RegistryHive.h"
#include "registry/cRegistry.h"

namespace hv {
namespace {

using test::Bytes;
using test::RawValue;
using test::ReadRaw;

class ShellFoldersTest : public testing::Test {
 protected:
  std::string Home() const { return (folder / "home").string(); }

  std::vector<std::string> Listing() const {
    std::vector<std::string> lines;
    for (const ShellFolder& entry : CurrentShellFolders()) {
      lines.push_back(entry.name + "=" + entry.path);
    }
    return lines;
  }

  ShellFoldersTest() {
    env.Set("HOME", Home());
    env.Unset("XDG_CONFIG_HOME");
    env.Unset("XDG_DATA_HOME");
    env.Unset("XDG_CACHE_HOME");
    env.Unset("XDG_STATE_HOME");
  }

  test::TempFolder folder;
  test::ScopedEnvironment env;
};

// The base folders come first, then the user folders that user-dirs.dirs sets ($H stands
// for home); the first case runs before there is any file.
TEST_F(ShellFoldersTest, ReadsUserDirsDirs) {
  const struct {
    const char* what;
    std::string file;
    std::vector<std::string> userFolders;
  } cases[] = {
      {"no file", "", {"Desktop=$H/Desktop"}},
      {"the usual file",
       "# written by xdg-user-dirs-update\n"
       "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
       "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
       "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
       "XDG_VIDEOS_DIR=\"$HOME/Videos\"\n",
       {"Desktop=$H/Schreibtisch", "Personal=$H/Dokumente", "My Video=$H/Videos"}},
      {"absolute paths, blanks and escapes",
       "  XDG_DOCUMENTS_DIR=\"/srv/docs/\"  \n"
       "XDG_MUSIC_DIR=\"$HOME/My \\\"Tunes\\\"\"\r\n",
       {"Desktop=$H/Desktop", "Personal=/srv/docs", "My Music=$H/My \"Tunes\""}},
      {"folders switched off to home are left out",
       "XDG_DESKTOP_DIR=\"$HOME/\"\nXDG_DOCUMENTS_DIR=\"$HOME\"\n",
       {}},
      {"broken lines are passed over",
       "XDG_DOCUMENTS_DIR=$HOME/unquoted\n"
       "XDG_MUSIC_DIR=\"relative/music\"\n"
       "XDG_PICTURES_DIR\n"
       "\xFF\xFE garbage \"\n"
       "XDG_VIDEOS_DIR=\"/ok\"\n",
       {"Desktop=$H/Desktop", "My Video=/ok"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.file.empty()) {
      folder.Write("home/.config/user-dirs.dirs", c.file);
    }
    std::vector<std::string> expected = {"AppData=$H/.config", "Local AppData=$H/.local/share",
                                         "Cache=$H/.cache", "State=$H/.local/state"};
    expected.insert(expected.end(), c.userFolders.begin(), c.userFolders.end());
    for (std::string& line : expected) {
      if (const size_t at = line.find("$H"); at != std::string::npos) {
        line.replace(at, 2, Home());
      }
    }
    EXPECT_EQ(Listing(), expected);
  }
}

// Writes and deletes are refused: the registry object's error table and the registry
// clean item tests check that through their own calls.
TEST_F(ShellFoldersTest, TheViewIsAKeyWithoutSubkeysReachedInAnyCaseAndRecomputedAtEachRead) {
  const auto hive = OpenRegistryHive((folder / "hive.db").string()).backend;
  EXPECT_EQ(ReadRaw(*hive, kHkeyCurrentUser, kShellFoldersKey, "appdata"),
            (RawValue{reg::kSz, Bytes(Home() + "/.config" + std::string(1, '\0'))}));
  env.Set("XDG_CONFIG_HOME", "/moved/config");
  EXPECT_EQ(ReadRaw(*hive, kHkeyCurrentUser, kShellFoldersKey, "AppData"),
            (RawValue{reg::kSz, Bytes(std::string("/moved/config") + '\0')}));

  const std::string otherCase =
      "SOFTWARE\\microsoft\\Windows\\CurrentVersion\\Explorer\\shell folders";
  EXPECT_TRUE(ReadRaw(*hive, kHkeyCurrentUser, otherCase, "Cache").has_value());
  EXPECT_FALSE(test::CreateRawKey(*hive, kHkeyCurrentUser, otherCase + "\\Sub"));

  cRegistry view(*hive);
  view.ClassKey(kHkeyCurrentUser);
  view.SectionKey(kShellFoldersKey);
  std::vector<std::string> names;
  int32_t count = 0;
  EXPECT_TRUE(view.EnumerateValues(names, count));
  EXPECT_EQ(names,
            (std::vector<std::string>{"AppData", "Local AppData", "Cache", "State", "Desktop"}));
  EXPECT_TRUE(view.EnumerateSections(names, count));
  EXPECT_EQ(count, 0);
}

// Texts without placeholders, unknown names, lone percent signs and long results are
// checked through the path expansion of the clean tests.
TEST_F(ShellFoldersTest, EnvironmentExpansionReplacesDefinedNamesAndKeepsTheRest) {
  for (const auto& [name, value] : {std::pair{"HV_EXPAND_ONE", "first"},
                                    {"HV_EXPAND_EMPTY", ""},
                                    {"HV_EXPAND_PERCENT", "50%"},
                                    {"hv_expand_case", "lower"},
                                    {"HV_EXPAND_CASE", "upper"}}) {
    env.Set(name, value);
  }
  const struct {
    const char* what;
    std::string text;
    std::string expected;
  } cases[] = {
      {"undefined then defined share a sign", "%HV_EXPAND_NOT_SET%HV_EXPAND_ONE%",
       "%HV_EXPAND_NOT_SETfirst"},
      {"empty value", "a%HV_EXPAND_EMPTY%b", "ab"},
      {"value not expanded again", "%HV_EXPAND_PERCENT%HV_EXPAND_ONE%", "50%HV_EXPAND_ONE%"},
      {"exact case first", "%hv_expand_case%,%HV_EXPAND_CASE%", "lower,upper"},
      {"other case still found", "%Hv_Expand_One%", "first"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExpandEnvironmentStrings(c.text), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace hv
