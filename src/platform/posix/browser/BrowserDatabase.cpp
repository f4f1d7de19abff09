#include "platform/posix/browser/BrowserDatabase.h"

#include <utility>

#include "clean/ReportSink.h"
#include "platform/posix/SqliteStatement.h"

namespace hv {
namespace {

// Long enough to ride out a browser's own short write, short enough that a running browser
// holding its lock cannot stall the cleaning run.
constexpr int kBusyTimeoutMs = 100;

}  // namespace

BrowserDatabase::BrowserDatabase(std::string path, bool readOnly) : path_(std::move(path)) {
  // Read only, a look at a store writes nothing to it, not even its journal.
  if (readOnly) {
    sideFiles_.emplace(path_);
  }
  const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  if (const int opened = sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr);
      opened != SQLITE_OK) {
    NoteFailure(opened);
    sqlite3_close(db_);
    db_ = nullptr;
    return;
  }
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
}

BrowserDatabase::~BrowserDatabase() {
  Commit();
  sqlite3_close(db_);
  if (sideFiles_) {
    sideFiles_->RemoveThoseMadeSince();
  }
}

bool BrowserDatabase::Readable() {
  if (db_ == nullptr || locked_) {
    return false;
  }
  SqliteStatement query(db_, "SELECT count(*) FROM sqlite_master");
  // Asked once more it would only wait out the busy timeout again.
  locked_ = !query.Step();
  if (locked_) {
    NoteFailure(query.Result());
  }
  return !locked_;
}

bool BrowserDatabase::HasColumn(const std::string& table, const std::string& column) const {
  SqliteStatement query(db_, "SELECT 1 FROM pragma_table_info(?1) WHERE name = ?2");
  query.Bind(1, table).Bind(2, column);
  return query.Step();
}

std::optional<int64_t> BrowserDatabase::DataVersion() const {
  SqliteStatement query(db_, "PRAGMA data_version");
  if (!query.Step()) {
    return std::nullopt;
  }
  return query.Integer(0);
}

bool BrowserDatabase::BeginWrite() {
  if (writing_) {
    return true;
  }
  if (db_ == nullptr || locked_) {
    return false;
  }
  const int begun = ExecuteSql(db_, "BEGIN IMMEDIATE");
  writing_ = begun == SQLITE_OK;
  locked_ = !writing_;
  if (locked_) {
    NoteFailure(begun);
  }
  return writing_;
}

bool BrowserDatabase::Commit() {
  if (!writing_) {
    return true;
  }
  writing_ = false;
  const int committed = ExecuteSql(db_, "COMMIT");
  if (committed == SQLITE_OK) {
    return true;
  }
  // A reader that held on past the busy timeout: the changes cannot land now.
  NoteFailure(committed);
  ExecuteSql(db_, "ROLLBACK");
  locked_ = true;
  return false;
}

bool BrowserDatabase::ChangeRow(sqlite3_stmt*& kept, const std::string& sql, int64_t row,
                                const std::string& name, std::string& reason) {
  if (kept == nullptr && sqlite3_prepare_v2(db_, sql.c_str(), -1, &kept, nullptr) != SQLITE_OK) {
    reason = sqlite3_errmsg(db_);
    return false;
  }
  SqliteStatement change(kept, SQLITE_OK);
  change.Bind(1, row).Bind(2, name).Step();
  if (change.Failed()) {
    reason = sqlite3_errmsg(db_);
    return false;
  }
  if (sqlite3_changes(db_) == 0) {
    reason = LeftReason::kVanished;
    return false;
  }
  return true;
}

void BrowserDatabase::NoteFailure(int code) {
  const int primary = code & 0xff;
  if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
    problem_ = LeftReason::kBrowserOpen;
  } else {
    problem_ = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
  }
}

void BrowserDatabase::Rollback() {
  if (writing_) {
    writing_ = false;
    ExecuteSql(db_, "ROLLBACK");
  }
}

}  // namespace hv
