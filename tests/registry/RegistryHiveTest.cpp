#include "platform/posix/RegistryHive.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <vector>

#include "RawRegistryValues.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "registry/DefaultRegistry.h"
#include "registry/cRegistry.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::RawValue;
using test::ReadFile;
using test::ReadRaw;
using test::WriteRaw;

// Fills a hive with enough values to span many pages, then closes it.
void MakeHealthyHive(const std::string& path) {
  const auto hive = OpenRegistryHive(path).backend;
  for (int i = 0; i < 300; ++i) {
    ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Filled\\" + std::to_string(i % 10),
                         "value" + std::to_string(i), reg::kBinary,
                         Bytes(std::string(100, static_cast<char>('a' + i % 26)))));
  }
}

void MakeForeignDatabase(const std::string& path) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes(text); INSERT INTO notes VALUES ('mine');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
}

TEST(RegistryHive, MovesADamagedHiveAsideKeepingItAndStartsAFreshOne) {
  const struct {
    const char* what;
    std::function<void(const std::string&)> prepare;
    bool movedAside;
  } cases[] = {
      {"no file yet", [](const std::string&) {}, false},
      {"a healthy hive", MakeHealthyHive, false},
      {"text, not a database",
       [](const std::string& p) { std::ofstream(p) << std::string(5000, 'x') << "settings=1\n"; },
       true},
      {"another program's database", MakeForeignDatabase, true},
      {"a hive with garbage inside",
       [](const std::string& p) {
         MakeHealthyHive(p);
         std::fstream file(p, std::ios::in | std::ios::out | std::ios::binary);
         file.seekp(4096 * 3) << std::string(8192, '\x5A');
       },
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempFolder folder;
    const std::string path = (folder / "hive.db").string();
    c.prepare(path);
    const std::string before = fs::exists(path) ? ReadFile(path) : "";

    OpenedRegistry opened = OpenRegistryHive(path);
    ASSERT_TRUE(opened.backend);
    if (c.movedAside) {
      const std::string name = fs::path(opened.movedAside).filename().string();
      EXPECT_TRUE(std::regex_match(name, std::regex(R"(hive\.db\.damaged-\d{8}-\d{6})"))) << name;
      EXPECT_EQ(ReadFile(opened.movedAside), before);
    } else {
      EXPECT_EQ(opened.movedAside, "");
    }
    // Whatever was found, the registry works now.
    EXPECT_TRUE(WriteRaw(*opened.backend, kHkeyCurrentUser, "After", "v", reg::kSz, Bytes("ok")));
    EXPECT_EQ(ReadRaw(*opened.backend, kHkeyCurrentUser, "After", "v"),
              (RawValue{reg::kSz, Bytes("ok")}));
  }
}

// The hive holds the user's settings: a new one, and the folder made for it, are the
// user's alone.
TEST(RegistryHive, ANewHiveIsPrivateToTheUser) {
  test::TempFolder folder;
  const fs::path path = folder / "made" / "for" / "hive.db";
  ASSERT_TRUE(OpenRegistryHive(path.string()).backend);
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(fs::status(path.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST(RegistryHive, ARegistryThatCannotBeOpenedFailsCleanly) {
  test::TempFolder folder;
  const fs::path blocker = folder.Write("not-a-folder", "x");
  auto hive = OpenRegistryHive((blocker / "hive.db").string());
  ASSERT_TRUE(hive.backend);
  EXPECT_EQ(hive.movedAside, "");
  EXPECT_EQ(ReadFile(blocker), "x");

  cRegistry registry(*hive.backend);
  registry.ClassKey(kHkeyCurrentUser);
  registry.SectionKey("Software\\Hushvault\\Settings");
  registry.ValueType(4);
  EXPECT_EQ(registry.Value(), Variant());
  EXPECT_THROW(registry.Value(Variant(int32_t{0})), NumberedError);
}

// The program's own registry reports each damaged store exactly once, and a second one
// moved aside in the same second never overwrites the first.
TEST(RegistryHive, TheProgramHearsOfEachMovedHiveOnce) {
  test::TempFolder folder;
  const std::string path = (folder / "user.db").string();
  std::vector<std::optional<std::string>> heard;
  {
    test::ScopedEnvironment env;
    env.Set("HUSHVAULT_REGISTRY", path);
    for (const char* damage : {"first damage", "second damage"}) {
      ReplaceDefaultRegistryBackend(nullptr);
      std::ofstream(path, std::ios::trunc) << damage;
      heard.push_back(TakeMovedAsideRegistry());
      heard.push_back(TakeMovedAsideRegistry());
    }
  }
  ReplaceDefaultRegistryBackend(nullptr);
  ASSERT_TRUE(heard[0] && heard[2]);
  EXPECT_FALSE(heard[1] || heard[3]);
  EXPECT_EQ(ReadFile(*heard[0]), "first damage");
  EXPECT_EQ(ReadFile(*heard[2]), "second damage");
}

TEST(RegistryHive, PathComesFromTheOverrideOrTheConfigFolder) {
  test::ScopedEnvironment env;
  env.Set("HUSHVAULT_REGISTRY", "/some/where.db");
  EXPECT_EQ(UserRegistryPath(), "/some/where.db");
  env.Unset("HUSHVAULT_REGISTRY");
  env.Set("XDG_CONFIG_HOME", "/config/home");
  EXPECT_EQ(UserRegistryPath(), "/config/home/hushvault/registry.db");
}

}  // namespace
}  // namespace hv
