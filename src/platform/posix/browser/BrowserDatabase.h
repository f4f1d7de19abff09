#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/posix/browser/SqliteSideFiles.h"

namespace hv {

// One SQLite database of a browser, opened for reading and writing (or for reading only)
// but never created.
// A database whose browser is running may be locked: nothing here waits longer than a
// short busy timeout, and once a write was refused the store counts as locked, so that
// later deletions of the same walk fail at once instead of waiting again.
class BrowserDatabase {
 public:
  BrowserDatabase(std::string path, bool readOnly);
  ~BrowserDatabase();
  BrowserDatabase(const BrowserDatabase&) = delete;
  BrowserDatabase& operator=(const BrowserDatabase&) = delete;

  // Null when the file could not be opened.
  sqlite3* Handle() const { return db_; }
  const std::string& Path() const { return path_; }

  // True when the schema can be read: the file is a database and no lock keeps it away.
  // A store found unreadable stays so for the life of this object.
  bool Readable();
  // Why the store could not be read or written: locked by its browser, or SQLite's own
  // words. Empty while nothing failed.
  const std::string& Problem() const { return problem_; }

  // Browser versions differ in their schemas; only what exists is touched.
  bool HasColumn(const std::string& table, const std::string& column) const;

  // A number that changes when another connection commits a change. Read inside a read
  // transaction it belongs to the rows that transaction reads; read again inside a write
  // transaction it tells whether they are still as they were.
  std::optional<int64_t> DataVersion() const;

  // Joins the open write transaction or begins one; false when the store is locked (or
  // opened for reading only).
  bool BeginWrite();
  bool Writing() const { return writing_; }
  // Ends the open write transaction: committed, or rolled back when commit fails.
  // True when nothing was open or the commit went through.
  bool Commit();
  // Drops the changes of the open write transaction.
  void Rollback();

  // Runs sql, prepared into kept at its first use, with row and name for ?1 and ?2; true
  // when it changed a row, otherwise why not in reason. Thousands of rows share one
  // preparation; the owner finalises kept.
  bool ChangeRow(sqlite3_stmt*& kept, const std::string& sql, int64_t row, const std::string& name,
                 std::string& reason);

 private:
  // Keeps why the last step failed, as Problem() gives it.
  void NoteFailure(int code);

  std::string path_;
  std::optional<SqliteSideFiles> sideFiles_;  // noted for a look that must change nothing
  std::string problem_;
  sqlite3* db_ = nullptr;
  bool writing_ = false;
  bool locked_ = false;
};

}  // namespace hv
