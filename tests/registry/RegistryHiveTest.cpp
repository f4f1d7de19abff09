#include "platform/posix/RegistryHive.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "HiveTestSupport.h"
#include "RawRegistryValues.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "platform/posix/SqliteRegistry.h"
#include "registry/DefaultRegistry.h"
#include "registry/cRegistry.h"
#include "util/NamePattern.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::CreateRawKey;
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
      EXPECT_TRUE(MatchesPattern(name, "hive.db.damaged-########-######")) << name;
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

// A header SQLite reads as a format it does not know is damage like any other: the file
// is kept aside and the settings start afresh instead of failing for the whole session.
TEST(RegistryHive, MovesAsideAHiveWhoseHeaderSQLiteCannotUse) {
  const struct {
    const char* what;
    std::streamoff offset;
    std::string bytes;
  } cases[] = {
      {"unknown schema format 9", 44, std::string("\0\0\0\x09", 4)},
      {"unknown schema format 5", 44, std::string("\0\0\0\x05", 4)},
      {"read version 3", 19, "\x03"},
      {"read version 255", 19, "\xFF"},
      {"write version 3", 18, "\x03"},
      {"page size 1000", 16, "\x03\xE8"},
      {"reserved bytes 200", 20, "\xC8"},
      {"auto-vacuum root beyond the file", 52, std::string("\0\0\0\x50", 4)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempFolder folder;
    const std::string path = (folder / "hive.db").string();
    ASSERT_TRUE(WriteRaw(*OpenRegistryHive(path).backend, kHkeyCurrentUser, "Before", "v", reg::kSz,
                         Bytes("x")));
    {
      std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
      file.seekp(c.offset) << c.bytes;
    }
    const std::string before = ReadFile(path);

    OpenedRegistry opened = OpenRegistryHive(path);
    ASSERT_TRUE(opened.backend);
    ASSERT_NE(opened.movedAside, "");
    EXPECT_EQ(ReadFile(opened.movedAside), before);
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

using test::SqliteRegistryTest;

TEST_F(SqliteRegistryTest, NamesListInCreationOrderMatchInAnyCaseAndKeepTheirFirstSpelling) {
  for (const char* name : {"c", "A", "b"}) {
    ASSERT_TRUE(CreateRawKey(*hive, kHkeyCurrentUser, std::string("Order\\") + name));
    ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Order", name, reg::kSz, Bytes("x")));
  }
  RegKey order = Open("ORDER");
  ASSERT_EQ(hive->DeleteKey(order, "C"), reg::kSuccess);
  ASSERT_EQ(hive->DeleteValue(order, "C"), reg::kSuccess);
  hive->CloseKey(order);
  ASSERT_TRUE(CreateRawKey(*hive, kHkeyCurrentUser, "order\\c"));
  ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Order", "c", reg::kSz, Bytes("x")));
  // Rewriting a value, in any case, keeps its place and its first spelling.
  ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "oRDER", "a", reg::kBinary, Bytes("y")));

  EXPECT_EQ(Names("Order", true), (std::vector<std::string>{"A", "b", "c"}));
  EXPECT_EQ(Names("Order", false), (std::vector<std::string>{"A", "b", "c"}));
  EXPECT_EQ(ReadRaw(*hive, kHkeyCurrentUser, "order", "A"), (RawValue{reg::kBinary, Bytes("y")}));
}

TEST_F(SqliteRegistryTest, DeletesRefuseKeysWithSubkeysAndRootsAndKeepTheRootsApart) {
  ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Parent\\Child", "v", reg::kSz, Bytes("x")));
  ASSERT_TRUE(CreateRawKey(*hive, kHkeyClassesRoot, ".txt"));
  const std::tuple<RegKey, const char*, long> steps[] = {
      {kHkeyCurrentUser, "Parent", reg::kAccessDenied},
      {kHkeyCurrentUser, "Parent\\Child", reg::kSuccess},
      {kHkeyCurrentUser, "Parent", reg::kSuccess},
      {kHkeyCurrentUser, "", reg::kAccessDenied},
      {kHkeyClassesRoot, "\\", reg::kAccessDenied},
      {kHkeyCurrentUser, ".txt", reg::kFileNotFound},
      {kHkeyClassesRoot, ".TXT", reg::kSuccess},
  };
  for (const auto& [root, key, expected] : steps) {
    EXPECT_EQ(hive->DeleteKey(root, key), expected) << key;
  }
}

// Every call checks its handle: roots the hive does not have, numbers it never gave out
// and closed keys are invalid; a key another copy deleted refuses. The calls left out
// reach their key as the query does.
TEST_F(SqliteRegistryTest, EveryCallChecksItsHandle) {
  ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Rights", "v", reg::kSz, Bytes("x")));
  RegKey handle = 0;
  uint32_t size = 8;
  using Call = std::function<long(RegKey)>;
  const Call open = [&](RegKey k) { return hive->OpenKeyEx(k, "x", reg::kQueryValue, &handle); };
  const Call create = [&](RegKey k) {
    return hive->CreateKeyEx(k, "x", reg::kAllSpecificRights, &handle);
  };
  const Call query = [&](RegKey k) { return hive->QueryValueEx(k, "v", nullptr, nullptr, &size); };
  const Call set = [&](RegKey k) { return hive->SetValueEx(k, "v", reg::kSz, nullptr, 0); };
  const Call deleteKey = [&](RegKey k) { return hive->DeleteKey(k, "x"); };
  const Call close = [&](RegKey k) { return hive->CloseKey(k); };
  for (const RegKey bad : {0, static_cast<int32_t>(0x80000002u), 0x7777}) {
    for (const Call& call : {open, create, query, set, deleteKey, close}) {
      EXPECT_EQ(call(bad), reg::kInvalidHandle) << bad;
    }
  }

  const RegKey child = Open("Rights");
  ASSERT_EQ(hive->DeleteKey(kHkeyCurrentUser, "Rights"), reg::kSuccess);
  for (const Call& call : {query, set, create}) {
    EXPECT_EQ(call(child), reg::kKeyDeleted);
  }
  EXPECT_EQ(close(child), reg::kSuccess);
  EXPECT_EQ(close(child), reg::kInvalidHandle);
}

TEST_F(SqliteRegistryTest, NamesWithOddBytesComeBackExactlyAndOverlongKeyNamesAreRefused) {
  const std::vector<std::string> names = {"caf\xC3\xA9", "\xFF\x01raw", "back\\slash", ""};
  for (const std::string& name : names) {
    ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Odd", name, reg::kSz, Bytes(name)));
  }
  EXPECT_EQ(Names("Odd", false), names);
  for (const std::string& name : names) {
    EXPECT_EQ(ReadRaw(*hive, kHkeyCurrentUser, "Odd", name), (RawValue{reg::kSz, Bytes(name)}));
  }
  // Key names are limited as on the platform.
  RegKey handle = 0;
  EXPECT_EQ(hive->CreateKeyEx(kHkeyCurrentUser, std::string(256, 'k').c_str(),
                              reg::kAllSpecificRights, &handle),
            reg::kInvalidParameter);
  EXPECT_TRUE(CreateRawKey(*hive, kHkeyCurrentUser, std::string(255, 'k')));
}

// Each copy writes its own values into the same hive while the other runs; every write
// must land and outlive the hive's closing.
TEST_F(SqliteRegistryTest, TwoRunningCopiesShareTheHive) {
  const std::string path = Path();
  const auto writeAll = [](RegistryBackend& backend, const std::string& prefix) {
    bool written = true;
    for (int i = 0; i < 150; ++i) {
      const std::string name = prefix + std::to_string(i);
      written = WriteRaw(backend, kHkeyCurrentUser, "Shared\\" + std::to_string(i % 7), name,
                         reg::kSz, Bytes(name)) &&
                written;
    }
    return written;
  };
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    _exit(writeAll(*OpenRegistryHive(path).backend, "child") ? 0 : 2);
  }
  EXPECT_TRUE(writeAll(*hive, "parent"));
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

  hive = OpenRegistryHive(path).backend;
  for (const std::string prefix : {"parent", "child"}) {
    for (int i = 0; i < 150; ++i) {
      const std::string name = prefix + std::to_string(i);
      ASSERT_EQ(ReadRaw(*hive, kHkeyCurrentUser, "Shared\\" + std::to_string(i % 7), name),
                (RawValue{reg::kSz, Bytes(name)}));
    }
  }
}

}  // namespace
}  // namespace hv
