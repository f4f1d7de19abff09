#include "platform/posix/CookieDatabase.h"

#include <utility>

#include "platform/posix/SqliteStatement.h"

namespace hv {

CookieDatabase::CookieDatabase(const std::string& path, std::string table, std::string hostColumn)
    : db_(path), table_(std::move(table)), hostColumn_(std::move(hostColumn)) {}

CookieDatabase::~CookieDatabase() {
  sqlite3_finalize(remove_);
}

bool CookieDatabase::Usable() {
  return db_.Readable() && db_.HasColumn(table_, "name") && db_.HasColumn(table_, hostColumn_) &&
         db_.HasColumn(table_, "path");
}

std::string CookieDatabase::NameExpression() const {
  return "'Cookie:' || ifnull(name, '') || '@' || ifnull(" + hostColumn_ +
         ", '') || ifnull(path, '')";
}

void CookieDatabase::List(std::vector<Trace>& traces) {
  if (!Usable()) {
    return;
  }
  const std::string sql = "SELECT rowid, " + NameExpression() + " FROM " + table_;
  SqliteStatement query(db_.Handle(), sql.c_str());
  while (query.Step()) {
    traces.push_back({query.Text(1), query.Integer(0), {}});
  }
}

bool CookieDatabase::Delete(const Trace& trace) {
  if (!db_.BeginWrite()) {
    return false;
  }
  if (remove_ == nullptr) {
    // The name is checked as well, so a row id that went to another cookie is safe.
    const std::string sql =
        "DELETE FROM " + table_ + " WHERE rowid = ?1 AND " + NameExpression() + " = ?2";
    if (sqlite3_prepare_v2(db_.Handle(), sql.c_str(), -1, &remove_, nullptr) != SQLITE_OK) {
      return false;
    }
  }
  sqlite3_bind_int64(remove_, 1, trace.row);
  sqlite3_bind_text64(remove_, 2, trace.name.data(), trace.name.size(), SQLITE_STATIC, SQLITE_UTF8);
  const bool done = sqlite3_step(remove_) == SQLITE_DONE;
  sqlite3_reset(remove_);
  sqlite3_clear_bindings(remove_);
  return done && sqlite3_changes(db_.Handle()) > 0;
}

}  // namespace hv
