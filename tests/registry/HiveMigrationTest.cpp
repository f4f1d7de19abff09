#include <gtest/gtest.h>
#include <sqlite3.h>

#include <optional>
#include <string>
#include <vector>

#include "HiveTestSupport.h"
#include "RawRegistryValues.h"
#include "TempFolder.h"
#include "platform/posix/RegistryHive.h"

namespace hv {
namespace {

using test::Bytes;
using test::CreateRawKey;
using test::ListNames;
using test::RawValue;
using test::ReadRaw;
using NameList = std::vector<std::string>;

// A hive as the first release wrote it: ids that a deleted key's successor could take,
// names compared alike only in their ASCII letters. It holds a gap where a key was
// deleted (id 8), two keys and two values whose names differ only in an umlaut's case,
// and the highest key id (10) last.
constexpr const char* kFirstReleaseHive =
    "PRAGMA journal_mode = WAL;"
    "CREATE TABLE registry_keys("
    "  id INTEGER PRIMARY KEY,"
    "  parent INTEGER REFERENCES registry_keys(id),"
    "  name TEXT NOT NULL COLLATE NOCASE,"
    "  UNIQUE(parent, name));"
    "CREATE TABLE registry_values("
    "  id INTEGER PRIMARY KEY,"
    "  key INTEGER NOT NULL REFERENCES registry_keys(id),"
    "  name TEXT NOT NULL COLLATE NOCASE,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  UNIQUE(key, name));"
    "CREATE INDEX registry_keys_order ON registry_keys(parent, id);"
    "CREATE INDEX registry_values_order ON registry_values(key, id);"
    "INSERT INTO registry_keys(id, parent, name) VALUES"
    "  (1, NULL, 'HKEY_CLASSES_ROOT'), (2, NULL, 'HKEY_CURRENT_USER'),"
    "  (3, 2, 'Software'), (4, 3, 'Hushvault'), (5, 4, 'Presets'),"
    "  (6, 3, CAST(x'C3847267657220' AS TEXT)),"
    "  (7, 3, CAST(x'C3A47267657220' AS TEXT)),"
    "  (9, 1, '.vlt'), (10, 4, 'Gone');"
    "INSERT INTO registry_values(id, key, name, type, data) VALUES"
    "  (1, 4, 'Wipe', 4, x'01000000'),"
    "  (2, 5, CAST(x'5072657365742C20C384' AS TEXT), 3, x'01'),"
    "  (3, 5, CAST(x'7072657365742C20C3A4' AS TEXT), 3, x'02'),"
    "  (4, 6, '', 1, x'757070657200'),"
    "  (5, 7, '', 1, x'6C6F77657200'),"
    "  (6, 9, '', 1, x'487573687661756C7400');"
    "PRAGMA user_version = 1;";

const std::string kUpperKey = "Software\\\xC3\x84rger ";
const std::string kLowerKey = "Software\\\xC3\xA4rger ";
const std::string kUpperPreset = "Preset, \xC3\x84";
const std::string kLowerPreset = "preset, \xC3\xA4";

void MakeFirstReleaseHive(const std::string& path) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, kFirstReleaseHive, nullptr, nullptr, &error), SQLITE_OK) << error;
  sqlite3_free(error);
  sqlite3_close(db);
}

// Every key and value of the old hive is read back by its own spelling, also where two
// spellings fold alike now: both stay, neither is merged into the other.
void ExpectEverythingKept(RegistryBackend& hive) {
  const struct {
    int32_t root;
    std::string key;
    std::string name;
    RawValue value;
  } kept[] = {
      {kHkeyCurrentUser, "Software\\Hushvault", "Wipe", {reg::kDword, {1, 0, 0, 0}}},
      {kHkeyCurrentUser, "Software\\Hushvault\\Presets", kUpperPreset, {reg::kBinary, {1}}},
      {kHkeyCurrentUser, "Software\\Hushvault\\Presets", kLowerPreset, {reg::kBinary, {2}}},
      {kHkeyCurrentUser, kUpperKey, "", {reg::kSz, Bytes(std::string("upper", 6))}},
      {kHkeyCurrentUser, kLowerKey, "", {reg::kSz, Bytes(std::string("lower", 6))}},
      {kHkeyClassesRoot, ".VLT", "", {reg::kSz, Bytes(std::string("Hushvault", 10))}},
  };
  for (const auto& k : kept) {
    EXPECT_EQ(ReadRaw(hive, k.root, k.key, k.name), k.value) << k.key << " " << k.name;
  }
  EXPECT_EQ(ListNames(hive, kHkeyCurrentUser, "Software", true),
            (NameList{"Hushvault", kUpperKey.substr(9), kLowerKey.substr(9)}));
  EXPECT_EQ(ListNames(hive, kHkeyCurrentUser, "Software\\Hushvault\\Presets", false),
            (NameList{kUpperPreset, kLowerPreset}));
}

TEST(RegistryHive, AHiveOfTheFirstReleaseKeepsEveryKeyAndValueAndGainsTheNewRules) {
  test::TempFolder folder;
  const std::string path = (folder / "hive.db").string();
  MakeFirstReleaseHive(path);

  OpenedRegistry opened = OpenRegistryHive(path);
  ASSERT_TRUE(opened.backend);
  EXPECT_EQ(opened.movedAside, "");
  RegistryBackend& hive = *opened.backend;
  ExpectEverythingKept(hive);

  // Another spelling reaches the key that came first.
  EXPECT_EQ(ReadRaw(hive, kHkeyCurrentUser, "SOFTWARE\\\xC3\xA4RGER ", ""),
            (RawValue{reg::kSz, Bytes(std::string("upper", 6))}));
  // The highest old id is not given out again once its key is gone.
  RegKey old = 0;
  ASSERT_EQ(
      hive.OpenKeyEx(kHkeyCurrentUser, "Software\\Hushvault\\Gone", reg::kAllSpecificRights, &old),
      reg::kSuccess);
  ASSERT_EQ(hive.DeleteKey(kHkeyCurrentUser, "Software\\Hushvault\\Gone"), reg::kSuccess);
  ASSERT_TRUE(CreateRawKey(hive, kHkeyClassesRoot, ".new"));
  const std::vector<uint8_t> data = Bytes("x");
  EXPECT_EQ(hive.SetValueEx(old, "", reg::kSz, data.data(), 1), reg::kKeyDeleted);
  EXPECT_EQ(ReadRaw(hive, kHkeyClassesRoot, ".new", ""), std::nullopt);
  hive.CloseKey(old);
  // New names fold every letter.
  ASSERT_TRUE(CreateRawKey(hive, kHkeyCurrentUser, "New\\\xC3\x96l"));
  ASSERT_TRUE(CreateRawKey(hive, kHkeyCurrentUser, "New\\\xC3\xB6L"));
  EXPECT_EQ(ListNames(hive, kHkeyCurrentUser, "New", true), NameList{"\xC3\x96l"});
  opened.backend.reset();

  // Opened again, the converted hive is taken as it is.
  OpenedRegistry again = OpenRegistryHive(path);
  EXPECT_EQ(again.movedAside, "");
  ExpectEverythingKept(*again.backend);
}

}  // namespace
}  // namespace hv
