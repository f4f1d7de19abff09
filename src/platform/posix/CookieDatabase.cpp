#include "platform/posix/CookieDatabase.h"

#include <utility>

#include "platform/posix/SqliteStatement.h"

namespace hv {

CookieDatabase::CookieDatabase(const std::string& path, std::string table, std::string hostColumn)
    : db_(path), table_(std::move(table)), hostColumn_(std::move(hostColumn)) {}

bool CookieDatabase::Usable() const {
  return db_.HasColumn(table_, "name") && db_.HasColumn(table_, hostColumn_) &&
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
  // The name is checked as well, so a row id that meanwhile went to another cookie is safe.
  const std::string sql =
      "DELETE FROM " + table_ + " WHERE rowid = ?1 AND " + NameExpression() + " = ?2";
  SqliteStatement remove(db_.Handle(), sql.c_str());
  remove.Bind(1, trace.row).Bind(2, trace.name);
  remove.Step();
  return !remove.Failed() && sqlite3_changes(db_.Handle()) > 0;
}

}  // namespace hv
