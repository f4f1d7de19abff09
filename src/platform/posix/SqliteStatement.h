#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

// One prepared statement, finalised when it goes, or a statement kept prepared by its
// owner, which is only reset when it goes. Failures are kept as SQLite result codes for
// the caller to translate; nothing here throws.
class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, const char* sql);
  // Borrows kept, prepared with the result prepared (kept is null when that failed).
  SqliteStatement(sqlite3_stmt* kept, int prepared);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  SqliteStatement& Bind(int index, int64_t value);
  SqliteStatement& Bind(int index, std::string_view text);
  SqliteStatement& BindBlob(int index, const uint8_t* data, size_t size);

  // True while a row is there; false at the end or on failure (see Failed()).
  bool Step();
  // SQLITE_OK until something went wrong, then the first failure's code.
  int Result() const { return result_; }
  bool Failed() const { return result_ != SQLITE_OK; }

  int64_t Integer(int column) const;
  std::string Text(int column) const;
  // The same without a copy; valid until the next step.
  std::string_view TextView(int column) const;
  std::vector<uint8_t> Blob(int column) const;

 private:
  void Note(int code);

  sqlite3_stmt* statement_ = nullptr;
  bool borrowed_ = false;
  int result_ = SQLITE_OK;
};

// Runs one statement without results; the SQLite result code.
int ExecuteSql(sqlite3* db, const char* sql);

// A write transaction, taken at once so that two running copies queue for the lock
// instead of failing on an upgrade; rolled back unless committed.
class SqliteTransaction {
 public:
  explicit SqliteTransaction(sqlite3* db);
  ~SqliteTransaction();
  SqliteTransaction(const SqliteTransaction&) = delete;
  SqliteTransaction& operator=(const SqliteTransaction&) = delete;

  int Begun() const { return begun_; }
  int Commit();

 private:
  sqlite3* db_;
  int begun_;
  bool open_;
};

}  // namespace hv
