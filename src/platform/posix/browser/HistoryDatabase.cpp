#include "platform/posix/browser/HistoryDatabase.h"

#include <utility>
#include <vector>

#include "platform/posix/SqliteStatement.h"

namespace hv {
namespace {

// The pages a clearing step works on, filled afresh for each step.
constexpr const char* kPages = "SELECT id FROM temp.hv_pages";
// Those of them that no bookmark keeps (Firefox).
constexpr const char* kGone = "SELECT id FROM temp.hv_gone";

}  // namespace

HistoryDatabase::HistoryDatabase(const std::string& path, Family family, bool readOnly)
    : db_(path, readOnly),
      family_(family),
      pages_(family == Family::Firefox ? "moz_places" : "urls"),
      visits_(family == Family::Firefox ? "moz_historyvisits" : "visits"),
      visitPage_(family == Family::Firefox ? "place_id" : "url") {}

bool HistoryDatabase::Usable() {
  return db_.Readable() && db_.HasColumn(pages_, "id") && db_.HasColumn(pages_, "url") &&
         db_.HasColumn(visits_, visitPage_);
}

HistoryDatabase::~HistoryDatabase() {
  Commit();
  sqlite3_finalize(mark_);
}

void HistoryDatabase::List(std::vector<Trace>& traces) {
  if (!db_.Readable()) {
    traces.push_back({"Visited: " + db_.Path(), 0, {}, {}, db_.Path(), db_.Problem()});
    return;
  }
  if (!Usable()) {
    return;
  }
  const std::string sql = "SELECT id, url FROM " + pages_ + " WHERE id IN (SELECT " + visitPage_ +
                          " FROM " + visits_ + ")";
  SqliteStatement query(db_.Handle(), sql.c_str());
  while (query.Step()) {
    const std::string_view url = query.TextView(1);
    std::string entry;
    entry.reserve(9 + url.size());
    entry.append("Visited: ").append(url);
    traces.push_back({std::move(entry), query.Integer(0), {}});
  }
}

bool HistoryDatabase::Delete(const Trace& trace, std::string& reason) {
  if (!db_.BeginWrite()) {
    reason = db_.Problem();
    return false;
  }
  if (!marking_ && !StartPages()) {
    reason = sqlite3_errmsg(db_.Handle());
    return false;
  }
  marking_ = true;
  // Only while the row still holds the page listed: the browser may reuse an id.
  return db_.ChangeRow(mark_,
                       "INSERT OR IGNORE INTO temp.hv_pages SELECT id FROM " + pages_ +
                           " WHERE id = ?1 AND 'Visited: ' || ifnull(url, '') = ?2",
                       trace.row, trace.name, reason);
}

bool HistoryDatabase::Commit() {
  const bool marked = marking_;
  marking_ = false;
  if (marked && !ForgetPages()) {
    db_.Rollback();
    return false;
  }
  return db_.Commit();
}

bool HistoryDatabase::ClearHistory() {
  if (!db_.Readable()) {
    return false;
  }
  if (!Usable()) {
    return true;  // a schema without visits keeps no history
  }
  if (!db_.BeginWrite() || !StartPages() ||
      !Run("INSERT INTO temp.hv_pages SELECT id FROM " + pages_) || !ForgetPages()) {
    db_.Rollback();
    return false;
  }
  return db_.Commit();
}

bool HistoryDatabase::StartPages() {
  return Run("CREATE TEMP TABLE IF NOT EXISTS hv_pages (id INTEGER PRIMARY KEY)") &&
         Run("DELETE FROM temp.hv_pages");
}

bool HistoryDatabase::Run(const std::string& sql) {
  return ExecuteSql(db_.Handle(), sql.c_str()) == SQLITE_OK;
}

bool HistoryDatabase::DeleteLinked(const std::string& table, const std::string& column,
                                   const std::string& ids) {
  if (!db_.HasColumn(table, column)) {
    return true;
  }
  return Run("DELETE FROM " + table + " WHERE " + column + " IN (" + ids + ")");
}

bool HistoryDatabase::ForgetPages() {
  return family_ == Family::Firefox ? ForgetFirefoxPages() : ForgetChromiumPages();
}

bool HistoryDatabase::ForgetFirefoxPages() {
  const std::string visitIds =
      std::string("SELECT id FROM moz_historyvisits WHERE place_id IN (") + kPages + ")";
  if (!DeleteLinked("moz_historyvisits_extra", "visit_id", visitIds) ||
      !DeleteLinked("moz_historyvisits", "place_id", kPages)) {
    return false;
  }
  // A page stays while a bookmark (or a bookmark keyword) refers to it.
  std::string gone = "INSERT INTO temp.hv_gone SELECT id FROM temp.hv_pages WHERE 1";
  if (db_.HasColumn("moz_bookmarks", "fk")) {
    gone += " AND id NOT IN (SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL)";
  }
  if (db_.HasColumn("moz_keywords", "place_id")) {
    gone += " AND id NOT IN (SELECT place_id FROM moz_keywords WHERE place_id IS NOT NULL)";
  }
  if (!Run("CREATE TEMP TABLE IF NOT EXISTS hv_gone (id INTEGER PRIMARY KEY)") ||
      !Run("DELETE FROM temp.hv_gone") || !Run(gone)) {
    return false;
  }

  // Every other table that hangs on a page loses the rows of the pages that go.
  std::vector<std::string> dependents;
  {
    SqliteStatement query(db_.Handle(),
                          "SELECT m.name FROM sqlite_master m, pragma_table_info(m.name) c "
                          "WHERE m.type = 'table' AND c.name = 'place_id' AND m.name NOT IN "
                          "('moz_historyvisits', 'moz_keywords', 'moz_bookmarks')");
    while (query.Step()) {
      dependents.push_back(query.Text(0));
    }
    if (query.Failed()) {
      return false;
    }
  }
  for (const std::string& table : dependents) {
    if (!DeleteLinked(table, "place_id", kGone)) {
      return false;
    }
  }
  if (!DeleteLinked("moz_places", "id", kGone)) {
    return false;
  }
  // Bookmarked pages stay, but as never visited.
  for (const auto& [column, value] :
       {std::pair{"visit_count", "0"}, std::pair{"last_visit_date", "NULL"}}) {
    if (db_.HasColumn("moz_places", column) &&
        !Run(std::string("UPDATE moz_places SET ") + column + " = " + value + " WHERE id IN (" +
             kPages + ")")) {
      return false;
    }
  }
  if (db_.HasColumn("moz_origins", "id") && db_.HasColumn("moz_places", "origin_id")) {
    return Run(
        "DELETE FROM moz_origins WHERE id NOT IN "
        "(SELECT origin_id FROM moz_places WHERE origin_id IS NOT NULL)");
  }
  return true;
}

bool HistoryDatabase::ForgetChromiumPages() {
  const std::string visitIds = std::string("SELECT id FROM visits WHERE url IN (") + kPages + ")";
  for (const auto& [table, column] :
       {std::pair{"visit_source", "id"}, std::pair{"content_annotations", "visit_id"},
        std::pair{"context_annotations", "visit_id"},
        std::pair{"clusters_and_visits", "visit_id"}}) {
    if (!DeleteLinked(table, column, visitIds)) {
      return false;
    }
  }
  if (!DeleteLinked("visits", "url", kPages) ||
      !DeleteLinked("keyword_search_terms", "url_id", kPages)) {
    return false;
  }
  if (db_.HasColumn("segments", "url_id") &&
      !DeleteLinked("segment_usage", "segment_id",
                    std::string("SELECT id FROM segments WHERE url_id IN (") + kPages + ")")) {
    return false;
  }
  return DeleteLinked("segments", "url_id", kPages) &&
         DeleteLinked("visited_links", "link_url_id", kPages) && DeleteLinked("urls", "id", kPages);
}

}  // namespace hv
