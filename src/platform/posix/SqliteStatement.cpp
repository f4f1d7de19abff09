#include "platform/posix/SqliteStatement.h"

namespace hv {

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) {
  Note(sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr));
}

SqliteStatement::SqliteStatement(sqlite3_stmt* kept, int prepared)
    : statement_(kept), borrowed_(true) {
  Note(prepared);
}

SqliteStatement::~SqliteStatement() {
  if (!borrowed_) {
    sqlite3_finalize(statement_);
  } else if (statement_ != nullptr) {
    // Ends the statement's read of the hive and leaves it ready for the next use.
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
  }
}

void SqliteStatement::Note(int code) {
  if (result_ == SQLITE_OK && code != SQLITE_OK && code != SQLITE_ROW && code != SQLITE_DONE) {
    result_ = code;
  }
}

SqliteStatement& SqliteStatement::Bind(int index, int64_t value) {
  if (!Failed()) {
    Note(sqlite3_bind_int64(statement_, index, value));
  }
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view text) {
  if (!Failed()) {
    Note(sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_TRANSIENT,
                             SQLITE_UTF8));
  }
  return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, const uint8_t* data, size_t size) {
  if (!Failed()) {
    // A zero-length blob is still a blob, never NULL.
    static const uint8_t kNothing = 0;
    Note(sqlite3_bind_blob64(statement_, index, size == 0 ? &kNothing : data, size,
                             SQLITE_TRANSIENT));
  }
  return *this;
}

bool SqliteStatement::Step() {
  if (Failed()) {
    return false;
  }
  const int code = sqlite3_step(statement_);
  Note(code);
  return code == SQLITE_ROW;
}

int64_t SqliteStatement::Integer(int column) const {
  return sqlite3_column_int64(statement_, column);
}

std::string SqliteStatement::Text(int column) const {
  return std::string(TextView(column));
}

std::string_view SqliteStatement::TextView(int column) const {
  const auto* text = static_cast<const char*>(sqlite3_column_blob(statement_, column));
  return text == nullptr ? std::string_view()
                         : std::string_view(text, sqlite3_column_bytes(statement_, column));
}

std::vector<uint8_t> SqliteStatement::Blob(int column) const {
  const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(statement_, column));
  return data == nullptr
             ? std::vector<uint8_t>()
             : std::vector<uint8_t>(data, data + sqlite3_column_bytes(statement_, column));
}

int ExecuteSql(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

SqliteTransaction::SqliteTransaction(sqlite3* db)
    : db_(db), begun_(ExecuteSql(db, "BEGIN IMMEDIATE")), open_(begun_ == SQLITE_OK) {}

SqliteTransaction::~SqliteTransaction() {
  if (open_) {
    ExecuteSql(db_, "ROLLBACK");
  }
}

int SqliteTransaction::Commit() {
  const int code = ExecuteSql(db_, "COMMIT");
  open_ = code != SQLITE_OK && sqlite3_get_autocommit(db_) == 0;
  return code;
}

}  // namespace hv
