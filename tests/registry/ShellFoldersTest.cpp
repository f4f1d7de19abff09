#include "platform/posix/ShellFolders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RawRegistryValues.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "platform/posix/RegistryHive.h"

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
  }

  test::TempFolder folder;
  test::ScopedEnvironment env;
};

TEST_F(ShellFoldersTest, BaseVariablesCountOnlyWhenAbsolute) {
  env.Set("XDG_CONFIG_HOME", "/elsewhere/config/");
  env.Set("XDG_DATA_HOME", "relative/data");
  const auto listing = Listing();
  ASSERT_GE(listing.size(), 2u);
  EXPECT_EQ(listing[0], "AppData=/elsewhere/config");
  EXPECT_EQ(listing[1], "Local AppData=" + Home() + "/.local/share");
}

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
       "XDG_MUSIC_DIR=\"$HOME/Musik\"\n"
       "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n"
       "XDG_VIDEOS_DIR=\"$HOME/Videos\"\n"
       "XDG_TEMPLATES_DIR=\"$HOME/Vorlagen\"\n",
       {"Desktop=$H/Schreibtisch", "Personal=$H/Dokumente", "My Music=$H/Musik",
        "My Pictures=$H/Bilder", "My Video=$H/Videos", "Templates=$H/Vorlagen"}},
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
       "=\"/nothing\"\n"
       "XDG__DIR=\"/empty\"\n"
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
                                         "Cache=$H/.cache"};
    expected.insert(expected.end(), c.userFolders.begin(), c.userFolders.end());
    for (std::string& line : expected) {
      if (const size_t at = line.find("$H"); at != std::string::npos) {
        line.replace(at, 2, Home());
      }
    }
    EXPECT_EQ(Listing(), expected);
  }
}

class ShellFoldersView : public ShellFoldersTest {
 protected:
  std::unique_ptr<RegistryBackend> hive = OpenRegistryHive((folder / "hive.db").string()).backend;
};

// Writes and deletes are refused: the registry object's error table and the registry
// clean item tests check that through their own calls.
TEST_F(ShellFoldersView, IsAKeyWithoutSubkeysReachedInAnyCaseAndRecomputedAtEachRead) {
  EXPECT_EQ(ReadRaw(*hive, kHkeyCurrentUser, kShellFoldersKey, "appdata"),
            (RawValue{reg::kSz, Bytes(Home() + "/.config" + std::string(1, '\0'))}));
  env.Set("XDG_CONFIG_HOME", "/moved/config");
  EXPECT_EQ(ReadRaw(*hive, kHkeyCurrentUser, kShellFoldersKey, "AppData"),
            (RawValue{reg::kSz, Bytes(std::string("/moved/config") + '\0')}));
  EXPECT_FALSE(ReadRaw(*hive, kHkeyClassesRoot, kShellFoldersKey, "AppData"));

  ASSERT_TRUE(test::CreateRawKey(*hive, kHkeyCurrentUser,
                                 "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"));
  RegKey explorer = 0;
  ASSERT_EQ(
      hive->OpenKeyEx(kHkeyCurrentUser, "SOFTWARE\\microsoft\\Windows\\CurrentVersion\\Explorer",
                      reg::kAllSpecificRights, &explorer),
      reg::kSuccess);
  RegKey key = 0;
  ASSERT_EQ(hive->OpenKeyEx(explorer, "shell folders", reg::kAllSpecificRights, &key),
            reg::kSuccess);
  uint32_t size = 0;
  EXPECT_EQ(hive->QueryValueEx(key, "CACHE", nullptr, nullptr, &size), reg::kSuccess);
  EXPECT_EQ(size, Home().size() + 8);  // "/.cache" and the NUL
  EXPECT_EQ(hive->QueryValueEx(key, "Nope", nullptr, nullptr, &size), reg::kFileNotFound);
  RegKey sub = 0;
  EXPECT_EQ(hive->CreateKeyEx(key, "Sub", reg::kAllSpecificRights, &sub), reg::kAccessDenied);
  EXPECT_EQ(hive->OpenKeyEx(key, "Sub", reg::kQueryValue, &sub), reg::kFileNotFound);
  char name[64];
  EXPECT_EQ(hive->EnumKey(key, 0, name, sizeof name), reg::kNoMoreItems);
  size = sizeof name;
  EXPECT_EQ(hive->EnumValue(key, 0, name, &size), reg::kSuccess);
  EXPECT_STREQ(name, "AppData");
  uint32_t longest = 0;
  EXPECT_EQ(hive->QueryInfoKey(key, &longest), reg::kSuccess);
  EXPECT_EQ(longest, 13u);  // "Local AppData"
  hive->CloseKey(key);
  hive->CloseKey(explorer);
}

}  // namespace
}  // namespace hv
