#include "platform/posix/CookieDatabase.h"

#include <algorithm>
#include <utility>

#include "platform/posix/SqliteStatement.h"

namespace hv {

CookieDatabase::CookieDatabase(const std::string& path, std::string table, std::string hostColumn)
    : db_(path), table_(std::move(table)), hostColumn_(std::move(hostColumn)) {}

CookieDatabase::~CookieDatabase() {
  Commit();
  sqlite3_finalize(removeChecked_);
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
  // One read transaction, so that the version belongs to the rows read.
  const bool reading = ExecuteSql(db_.Handle(), "BEGIN") == SQLITE_OK;
  listedVersion_ = reading ? db_.DataVersion() : std::nullopt;
  {
    const std::string sql = "SELECT rowid, name, " + hostColumn_ + ", path FROM " + table_;
    SqliteStatement query(db_.Handle(), sql.c_str());
    while (query.Step()) {
      // The same name as NameExpression() gives, put together here: cheaper for thousands.
      const std::string_view name = query.TextView(1);
      const std::string_view host = query.TextView(2);
      const std::string_view path = query.TextView(3);
      std::string entry;
      entry.reserve(8 + name.size() + host.size() + path.size());
      entry.append("Cookie:").append(name).append("@").append(host).append(path);
      traces.push_back({std::move(entry), query.Integer(0), {}});
    }
  }  // the statement ends before its transaction does
  if (reading) {
    ExecuteSql(db_.Handle(), "COMMIT");
  }
}

bool CookieDatabase::Delete(const Trace& trace) {
  const bool beginning = !db_.Writing();
  if (!db_.BeginWrite()) {
    return false;
  }
  if (beginning) {
    rowsAsListed_ = listedVersion_ && db_.DataVersion() == listedVersion_;
  }
  if (!rowsAsListed_) {
    return DeleteChecked(trace);
  }
  pending_.push_back(trace.row);
  return true;
}

bool CookieDatabase::DeleteChecked(const Trace& trace) {
  if (removeChecked_ == nullptr) {
    // The name is checked as well, so a row id that went to another cookie is safe.
    const std::string sql =
        "DELETE FROM " + table_ + " WHERE rowid = ?1 AND " + NameExpression() + " = ?2";
    if (sqlite3_prepare_v2(db_.Handle(), sql.c_str(), -1, &removeChecked_, nullptr) != SQLITE_OK) {
      return false;
    }
  }
  SqliteStatement remove(removeChecked_, SQLITE_OK);
  remove.Bind(1, trace.row).Bind(2, trace.name).Step();
  return !remove.Failed() && sqlite3_changes(db_.Handle()) > 0;
}

bool CookieDatabase::DeletePending() {
  std::sort(pending_.begin(), pending_.end());
  const std::string sql = "DELETE FROM " + table_ + " WHERE rowid BETWEEN ?1 AND ?2";
  sqlite3_stmt* removeRun = nullptr;
  const int prepared = sqlite3_prepare_v2(db_.Handle(), sql.c_str(), -1, &removeRun, nullptr);
  bool done = prepared == SQLITE_OK;
  for (size_t first = 0; done && first < pending_.size();) {
    size_t last = first;
    while (last + 1 < pending_.size() && pending_[last + 1] - pending_[last] <= 1) {
      ++last;
    }
    SqliteStatement remove(removeRun, prepared);
    remove.Bind(1, pending_[first]).Bind(2, pending_[last]).Step();
    done = !remove.Failed();
    first = last + 1;
  }
  sqlite3_finalize(removeRun);
  return done;
}

bool CookieDatabase::Commit() {
  const bool deleted = pending_.empty() || DeletePending();
  pending_.clear();
  if (!deleted) {
    db_.Rollback();
    return false;
  }
  return db_.Commit();
}

}  // namespace hv
