#include "platform/posix/BrowserDatabase.h"

#include "platform/posix/SqliteStatement.h"

namespace hv {
namespace {

// Long enough to ride out a browser's own short write, short enough that a running browser
// holding its lock cannot stall the cleaning run.
constexpr int kBusyTimeoutMs = 100;

}  // namespace

BrowserDatabase::BrowserDatabase(const std::string& path) {
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    sqlite3_close(db_);
    db_ = nullptr;
    return;
  }
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
}

BrowserDatabase::~BrowserDatabase() {
  Commit();
  sqlite3_close(db_);
}

bool BrowserDatabase::Readable() {
  if (db_ == nullptr || locked_) {
    return false;
  }
  SqliteStatement query(db_, "SELECT count(*) FROM sqlite_master");
  // Asked once more it would only wait out the busy timeout again.
  locked_ = !query.Step();
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
  writing_ = ExecuteSql(db_, "BEGIN IMMEDIATE") == SQLITE_OK;
  locked_ = !writing_;
  return writing_;
}

bool BrowserDatabase::Commit() {
  if (!writing_) {
    return true;
  }
  writing_ = false;
  if (ExecuteSql(db_, "COMMIT") == SQLITE_OK) {
    return true;
  }
  // A reader that held on past the busy timeout: the changes cannot land now.
  ExecuteSql(db_, "ROLLBACK");
  locked_ = true;
  return false;
}

void BrowserDatabase::Rollback() {
  if (writing_) {
    writing_ = false;
    ExecuteSql(db_, "ROLLBACK");
  }
}

}  // namespace hv
