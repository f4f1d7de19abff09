#pragma once

#include <sqlite3.h>

#include <cstdint>

namespace hv {

// What a database holds before the hive takes it: the version of its tables and whether
// it holds any, or the SQLite code of the failure to find out.
struct HiveShape {
  int64_t version = 0;
  bool empty = true;
  int code = SQLITE_OK;
};
HiveShape ReadHiveShape(sqlite3* db);

// A version of the tables this program can use, converting it first where it is older.
bool IsKnownHiveVersion(int64_t version);
bool IsCurrentHiveVersion(int64_t version);

// Creates the tables and the two roots in an empty database; an SQLite result code.
int CreateHiveTables(sqlite3* db);

// Converts the tables of an older known version to the current ones, keeping every key and
// value with its id; an SQLite result code. Runs inside the caller's write transaction.
int UpgradeHiveTables(sqlite3* db);

// Whether the current tables are there, with both roots.
bool HasHiveTables(sqlite3* db);

}  // namespace hv
