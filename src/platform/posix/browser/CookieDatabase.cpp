#include "platform/posix/browser/CookieDatabase.h"

#include <algorithm>
#include <utility>

#include "platform/posix/SqliteStatement.h"

namespace hv {

CookieDatabase::CookieDatabase(const std::string& path, std::string table, std::string hostColumn,
                               bool readOnly)
    : db_(path, readOnly), table_(std::move(table)), hostColumn_(std::move(hostColumn)) {}

CookieDatabase::~CookieDatabase() {
  Commit();
  sqlite3_finalize(removeChecked_);
}

bool CookieDatabase::Usable(std::vector<Trace>& traces) {
  if (!db_.Readable()) {
    traces.push_back({"Cookie:" + db_.Path(), 0, {}, {}, db_.Path(), db_.Problem()});
    return false;
  }
  return db_.HasColumn(table_, "name") && db_.HasColumn(table_, hostColumn_) &&
         db_.HasColumn(table_, "path");
}

std::string CookieDatabase::NameExpression() const {
  return "'Cookie:' || ifnull(name, '') || '@' || ifnull(" + hostColumn_ +
         ", '') || ifnull(path, '')";
}

void CookieDatabase::List(std::vector<Trace>& traces) {
  if (!Usable(traces)) {
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

bool CookieDatabase::Delete(const Trace& trace, std::string& reason) {
  const bool beginning = !db_.Writing();
  if (!db_.BeginWrite()) {
    reason = db_.Problem();
    return false;
  }
  if (beginning) {
    rowsAsListed_ = listedVersion_ && db_.DataVersion() == listedVersion_;
  }
  if (!rowsAsListed_) {
    return DeleteChecked(trace, reason);
  }
  pending_.push_back(trace.row);
  return true;
}

bool CookieDatabase::DeleteChecked(const Trace& trace, std::string& reason) {
  // The name is checked as well, so a row id that went to another cookie is safe.
  return db_.ChangeRow(
      removeChecked_,
      "DELETE FROM " + table_ + " WHERE rowid = ?1 AND " + NameExpression() + " = ?2", trace.row,
      trace.name, reason);
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
