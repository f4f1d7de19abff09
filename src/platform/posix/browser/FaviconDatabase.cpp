#include "platform/posix/browser/FaviconDatabase.h"

#include <memory>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "platform/posix/SqliteStatement.h"

namespace hv {
namespace {

constexpr std::string_view kVisited = "Visited: ";

// The addresses of the pages in places.sqlite, or only of those a bookmark or a keyword
// keeps; none when it cannot be read, for then nothing tells which icons are still used.
std::optional<FaviconDatabase::Urls> PlacesUrls(const std::string& path, bool keptOnly) {
  BrowserDatabase places(path, true);
  if (!places.Readable() || !places.HasColumn("moz_places", "url")) {
    return std::nullopt;
  }
  std::string sql = "SELECT url FROM moz_places WHERE url IS NOT NULL";
  if (keptOnly) {
    std::string keepers = "0";
    if (places.HasColumn("moz_bookmarks", "fk")) {
      keepers += " OR id IN (SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL)";
    }
    if (places.HasColumn("moz_keywords", "place_id")) {
      keepers += " OR id IN (SELECT place_id FROM moz_keywords WHERE place_id IS NOT NULL)";
    }
    sql += " AND (" + keepers + ")";
  }
  FaviconDatabase::Urls urls;
  SqliteStatement query(places.Handle(), sql.c_str());
  while (query.Step()) {
    urls.insert(query.Text(0));
  }
  if (query.Failed()) {
    return std::nullopt;
  }
  return urls;
}

// "https://example.org" of "https://example.org/a/b": the site a root icon belongs to.
std::string_view Site(std::string_view url) {
  const size_t scheme = url.find("://");
  const size_t hostStart = scheme == std::string_view::npos ? 0 : scheme + 3;
  return url.substr(0, url.find('/', hostStart));
}

// Runs sql once for each row, with its id for ?1 and its address for ?2.
bool RunForEach(sqlite3* db, const char* sql, const std::vector<FaviconDatabase::Page>& rows) {
  sqlite3_stmt* prepared = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &prepared, nullptr) != SQLITE_OK) {
    sqlite3_finalize(prepared);
    return false;
  }
  const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> owned(prepared, sqlite3_finalize);
  for (const auto& [id, url] : rows) {
    SqliteStatement run(prepared, SQLITE_OK);  // reset for the next row when it goes
    run.Bind(1, id).Bind(2, url).Step();
    if (run.Failed()) {
      return false;
    }
  }
  return true;
}

}  // namespace

FaviconDatabase::FaviconDatabase(const std::string& path, std::string placesPath, bool readOnly)
    : db_(path, readOnly), placesPath_(std::move(placesPath)) {}

FaviconDatabase::~FaviconDatabase() {
  Commit();
}

bool FaviconDatabase::Usable() {
  return db_.Readable() && db_.HasColumn("moz_pages_w_icons", "page_url") &&
         db_.HasColumn("moz_icons_to_pages", "page_id") &&
         db_.HasColumn("moz_icons_to_pages", "icon_id") && db_.HasColumn("moz_icons", "id");
}

std::vector<FaviconDatabase::Page> FaviconDatabase::AllPages() {
  std::vector<Page> pages;
  SqliteStatement query(db_.Handle(),
                        "SELECT id, page_url FROM moz_pages_w_icons WHERE page_url IS NOT NULL");
  while (query.Step()) {
    pages.emplace_back(query.Integer(0), query.Text(1));
  }
  return pages;
}

void FaviconDatabase::List(std::vector<Trace>& traces) {
  if (!db_.Readable()) {
    traces.push_back({std::string(kVisited) + db_.Path(),
                      0,
                      {},
                      {},
                      "favicons in " + db_.Path(),
                      db_.Problem()});
    return;
  }
  if (!Usable()) {
    return;
  }
  const std::optional<FaviconDatabase::Urls> kept = PlacesUrls(placesPath_, true);
  if (!kept) {
    return;
  }
  for (auto& [id, url] : AllPages()) {
    if (!kept->contains(url)) {
      traces.push_back({std::string(kVisited) + url, id, {}, {}, "favicon of " + url});
    }
  }
}

bool FaviconDatabase::Delete(const Trace& trace, std::string& reason) {
  if (!db_.BeginWrite()) {
    reason = db_.Problem();
    return false;
  }
  marked_.emplace_back(trace.row, trace.name.substr(kVisited.size()));
  return true;
}

bool FaviconDatabase::Commit() {
  if (marked_.empty()) {
    return db_.Commit();
  }
  const std::vector<Page> marked = std::move(marked_);
  marked_.clear();
  if (!Forget(marked)) {
    db_.Rollback();
    return false;
  }
  return db_.Commit();
}

bool FaviconDatabase::ClearHistory() {
  // A store its browser holds was reported left, entry by entry, in the walk before.
  if (!Usable() || !db_.BeginWrite()) {
    return true;
  }
  if (!Forget(AllPages())) {
    db_.Rollback();
    return false;
  }
  return db_.Commit();
}

bool FaviconDatabase::Run(const char* sql) {
  return ExecuteSql(db_.Handle(), sql) == SQLITE_OK;
}

bool FaviconDatabase::Forget(const std::vector<Page>& pages) {
  // Read now, after the history was cleared: a page it kept (or could not remove) keeps
  // its icons.
  const std::optional<FaviconDatabase::Urls> held = PlacesUrls(placesPath_, false);
  if (!held) {
    return true;
  }
  if (!Run("CREATE TEMP TABLE IF NOT EXISTS hv_gone (id INTEGER PRIMARY KEY)") ||
      !Run("DELETE FROM temp.hv_gone")) {
    return false;
  }
  std::vector<Page> gone;
  for (const Page& page : pages) {
    if (!held->contains(page.second)) {
      gone.push_back(page);
    }
  }
  // Only while the row still holds the page listed: the browser may reuse an id.
  if (!RunForEach(db_.Handle(),
                  "INSERT OR IGNORE INTO temp.hv_gone SELECT id FROM moz_pages_w_icons "
                  "WHERE id = ?1 AND page_url = ?2",
                  gone)) {
    return false;
  }
  if (!Run("DELETE FROM moz_icons_to_pages WHERE page_id IN (SELECT id FROM temp.hv_gone)") ||
      !Run("DELETE FROM moz_pages_w_icons WHERE id IN (SELECT id FROM temp.hv_gone)")) {
    return false;
  }
  return ForgetIcons(*held);
}

bool FaviconDatabase::ForgetIcons(const Urls& placesUrls) {
  const bool roots = db_.HasColumn("moz_icons", "root") && db_.HasColumn("moz_icons", "icon_url");
  if (!Run(roots ? "DELETE FROM moz_icons WHERE root = 0 AND id NOT IN "
                   "(SELECT icon_id FROM moz_icons_to_pages WHERE icon_id IS NOT NULL)"
                 : "DELETE FROM moz_icons WHERE id NOT IN "
                   "(SELECT icon_id FROM moz_icons_to_pages WHERE icon_id IS NOT NULL)")) {
    return false;
  }
  if (!roots) {
    return true;
  }
  // A site's root icon serves every page of the site, linked or not: it stays while a page
  // of the site is left in either database.
  std::unordered_set<std::string_view> sites;
  for (const std::string& url : placesUrls) {
    sites.insert(Site(url));
  }
  const std::vector<Page> left = AllPages();
  for (const auto& page : left) {
    sites.insert(Site(page.second));
  }
  std::vector<Page> unused;
  {
    SqliteStatement query(db_.Handle(),
                          "SELECT id, icon_url FROM moz_icons WHERE root != 0 AND id NOT IN "
                          "(SELECT icon_id FROM moz_icons_to_pages WHERE icon_id IS NOT NULL)");
    while (query.Step()) {
      if (!sites.contains(Site(query.TextView(1)))) {
        unused.emplace_back(query.Integer(0), query.Text(1));
      }
    }
    if (query.Failed()) {
      return false;
    }
  }
  return RunForEach(db_.Handle(), "DELETE FROM moz_icons WHERE id = ?1 AND icon_url = ?2", unused);
}

}  // namespace hv
