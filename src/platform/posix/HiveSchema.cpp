#include "platform/posix/HiveSchema.h"

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/posix/FoldedName.h"
#include "platform/posix/SqliteStatement.h"

namespace hv {
namespace {

constexpr int64_t kFirstVersion = 1;
constexpr int64_t kCurrentVersion = 2;  // kTables stores it as the file's user_version

// Key ids are never given out twice (AUTOINCREMENT): a handle kept to a deleted key must
// not reach a key made after it. Names are looked up by their folded form. SQL does not
// hold them unique, because a hive of the first version may hold two names that only fold
// alike now and both are kept; every write looks a name up before adding it, inside its
// transaction.
constexpr const char* kTables =
    "CREATE TABLE registry_keys("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
    "  parent INTEGER REFERENCES registry_keys(id),"
    "  name TEXT NOT NULL,"
    "  folded TEXT NOT NULL);"
    "CREATE TABLE registry_values("
    "  id INTEGER PRIMARY KEY,"
    "  key INTEGER NOT NULL REFERENCES registry_keys(id),"
    "  name TEXT NOT NULL,"
    "  folded TEXT NOT NULL,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL);"
    "CREATE INDEX registry_keys_by_name ON registry_keys(parent, folded);"
    "CREATE INDEX registry_values_by_name ON registry_values(key, folded);"
    // Listings walk a key's children in creation order.
    "CREATE INDEX registry_keys_order ON registry_keys(parent, id);"
    "CREATE INDEX registry_values_order ON registry_values(key, id);"
    "PRAGMA user_version = 2;";

constexpr const char* kRoots =
    "INSERT INTO registry_keys(id, parent, name, folded) VALUES"
    "  (1, NULL, 'HKEY_CLASSES_ROOT', 'hkey_classes_root'),"
    "  (2, NULL, 'HKEY_CURRENT_USER', 'hkey_current_user');";

// The first version's tables step aside for the current ones; their indexes go, since
// the current tables take the same index names.
constexpr const char* kSetFirstVersionAside =
    "DROP INDEX registry_keys_order;"
    "DROP INDEX registry_values_order;"
    "ALTER TABLE registry_values RENAME TO registry_values_v1;"
    "ALTER TABLE registry_keys RENAME TO registry_keys_v1;";

constexpr const char* kCopyFirstVersion =
    "INSERT INTO registry_keys(id, parent, name, folded)"
    "  SELECT id, parent, name, hive_folded(name) FROM registry_keys_v1 ORDER BY id;"
    "INSERT INTO registry_values(id, key, name, folded, type, data)"
    "  SELECT id, key, name, hive_folded(name), type, data FROM registry_values_v1 ORDER BY id;"
    "DROP TABLE registry_values_v1;"
    "DROP TABLE registry_keys_v1;";

// hive_folded(name) in SQL: the name's folded form, from its bytes as stored.
void FoldedInSql(sqlite3_context* context, int, sqlite3_value** arguments) {
  const auto* bytes = static_cast<const char*>(sqlite3_value_blob(arguments[0]));
  const std::string folded =
      FoldedName(bytes == nullptr ? std::string_view()
                                  : std::string_view(bytes, sqlite3_value_bytes(arguments[0])));
  sqlite3_result_text64(context, folded.data(), folded.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// Runs each script in turn; the first failure's code.
int ExecuteAll(sqlite3* db, std::initializer_list<const char*> scripts) {
  for (const char* script : scripts) {
    if (const int code = ExecuteSql(db, script); code != SQLITE_OK) {
      return code;
    }
  }
  return SQLITE_OK;
}

}  // namespace

HiveShape ReadHiveShape(sqlite3* db) {
  SqliteStatement version(db, "PRAGMA user_version");
  SqliteStatement tables(db, "SELECT count(*) FROM sqlite_master");
  HiveShape shape;
  if (!version.Step() || !tables.Step()) {
    shape.code = version.Failed() ? version.Result() : tables.Result();
    return shape;
  }
  shape.version = version.Integer(0);
  shape.empty = shape.version == 0 && tables.Integer(0) == 0;
  return shape;
}

bool IsKnownHiveVersion(int64_t version) {
  return version >= kFirstVersion && version <= kCurrentVersion;
}

bool IsCurrentHiveVersion(int64_t version) {
  return version == kCurrentVersion;
}

int CreateHiveTables(sqlite3* db) {
  return ExecuteAll(db, {kTables, kRoots});
}

int UpgradeHiveTables(sqlite3* db) {
  const int registered =
      sqlite3_create_function_v2(db, "hive_folded", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                 FoldedInSql, nullptr, nullptr, nullptr);
  if (registered != SQLITE_OK) {
    return registered;
  }
  return ExecuteAll(db, {kSetFirstVersionAside, kTables, kCopyFirstVersion});
}

bool HasHiveTables(sqlite3* db) {
  SqliteStatement keys(db, "SELECT id, parent, name, folded FROM registry_keys LIMIT 0");
  SqliteStatement values(db, "SELECT key, name, folded, type, data FROM registry_values LIMIT 0");
  SqliteStatement roots(db,
                        "SELECT count(*) FROM registry_keys WHERE id IN (1, 2) AND parent IS NULL");
  keys.Step();
  values.Step();
  return !keys.Failed() && !values.Failed() && roots.Step() && roots.Integer(0) == 2;
}

}  // namespace hv
