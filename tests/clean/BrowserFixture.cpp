#include "BrowserFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "RecordingSink.h"

namespace hv::test {
namespace fs = std::filesystem;
namespace {

// The tables and columns the cleaning touches, as the browsers create them, with a few
// of the columns around them.
constexpr const char* kFirefoxCookies =
    "CREATE TABLE moz_cookies (id INTEGER PRIMARY KEY, originAttributes TEXT NOT NULL DEFAULT "
    "'', name TEXT, value TEXT, host TEXT, path TEXT, expiry INTEGER, isSecure INTEGER);";
constexpr const char* kFirefoxPlaces =
    "CREATE TABLE moz_origins (id INTEGER PRIMARY KEY, prefix TEXT, host TEXT);"
    "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, "
    "visit_count INTEGER DEFAULT 0, last_visit_date INTEGER, origin_id INTEGER);"
    "CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, from_visit INTEGER, place_id "
    "INTEGER, visit_date INTEGER, visit_type INTEGER);"
    "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT "
    "NULL, parent INTEGER, title LONGVARCHAR);"
    "CREATE TABLE moz_annos (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL, content "
    "LONGVARCHAR);";
constexpr const char* kChromiumCookies =
    "CREATE TABLE cookies (creation_utc INTEGER NOT NULL, host_key TEXT NOT NULL, "
    "top_frame_site_key TEXT NOT NULL DEFAULT '', name TEXT NOT NULL, value TEXT NOT NULL, "
    "encrypted_value BLOB NOT NULL DEFAULT x'', path TEXT NOT NULL, expires_utc INTEGER);";
constexpr const char* kChromiumHistory =
    "CREATE TABLE urls (id INTEGER PRIMARY KEY AUTOINCREMENT, url LONGVARCHAR, title "
    "LONGVARCHAR, visit_count INTEGER DEFAULT 0 NOT NULL, last_visit_time INTEGER NOT NULL "
    "DEFAULT 0);"
    "CREATE TABLE visits (id INTEGER PRIMARY KEY, url INTEGER NOT NULL, visit_time INTEGER "
    "NOT NULL, from_visit INTEGER);";
constexpr const char* kChromiumHistoryNewer =
    "CREATE TABLE keyword_search_terms (keyword_id INTEGER NOT NULL, url_id INTEGER NOT NULL, "
    "term LONGVARCHAR NOT NULL, normalized_term LONGVARCHAR NOT NULL);"
    "CREATE TABLE segments (id INTEGER PRIMARY KEY, name VARCHAR, url_id INTEGER NON NULL);";

// Appends value as size bytes, most significant first when bigEndian.
void Put(std::string& bytes, uint64_t value, int size, bool bigEndian) {
  for (int i = 0; i < size; ++i) {
    bytes += static_cast<char>(value >> (8 * (bigEndian ? size - 1 - i : i)) & 0xff);
  }
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    quoted += c == '\'' ? std::string("''") : std::string(1, c);
  }
  return quoted + "'";
}

// The SQL that inserts visits of the page whose id the expression page gives.
std::string Visits(const std::string& table, const std::string& columns, const std::string& page,
                   int visits) {
  std::string sql;
  for (int visit = 0; visit < visits; ++visit) {
    sql += "INSERT INTO " + table + " (" + columns + ") VALUES (" + page + ", " +
           std::to_string(1000 + visit) + ");";
  }
  return sql;
}

}  // namespace

BrowserFixture::BrowserFixture(const fs::path& homeFolder)
    : home(homeFolder), config(homeFolder / ".config"), cache(homeFolder / ".cache") {
  fs::create_directories(config);
  fs::create_directories(cache);
}

fs::path BrowserFixture::FirefoxProfile(const std::string& name) const {
  return FirefoxProfileAt(".mozilla/firefox/" + name);
}

fs::path BrowserFixture::FirefoxProfileAt(const std::string& relative) const {
  const fs::path profile = home / relative;
  fs::create_directories(profile);
  ExecSql(profile / "cookies.sqlite", kFirefoxCookies);
  ExecSql(profile / "places.sqlite", kFirefoxPlaces);
  return profile;
}

fs::path BrowserFixture::ChromiumProfile(const std::string& browser, const std::string& name,
                                         bool older) const {
  return ChromiumProfileAt(fs::relative(config / browser / name, home).string(), older);
}

fs::path BrowserFixture::ChromiumProfileAt(const std::string& relative, bool older) const {
  const fs::path profile = home / relative;
  fs::create_directories(profile / "Network");
  ExecSql(older ? profile / "Cookies" : profile / "Network" / "Cookies", kChromiumCookies);
  ExecSql(profile / "History",
          std::string(kChromiumHistory) + (older ? "" : kChromiumHistoryNewer));
  return profile;
}

void ExecSql(const fs::path& database, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK) << database;
  char* message = nullptr;
  const int result = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
  EXPECT_EQ(result, SQLITE_OK) << (message ? message : "") << " in " << sql;
  sqlite3_free(message);
  sqlite3_close(db);
}

std::vector<std::string> QueryRows(const fs::path& database, const std::string& sql) {
  std::vector<std::string> rows;
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* query = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &query, nullptr), SQLITE_OK) << sql;
  while (query != nullptr && sqlite3_step(query) == SQLITE_ROW) {
    std::string row;
    for (int column = 0; column < sqlite3_column_count(query); ++column) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(query, column));
      row += (column == 0 ? "" : "|") + std::string(text ? text : "NULL");
    }
    rows.push_back(row);
  }
  sqlite3_finalize(query);
  sqlite3_close(db);
  return rows;
}

void AddFirefoxCookie(const fs::path& profile, const std::string& name, const std::string& host,
                      const std::string& path) {
  ExecSql(profile / "cookies.sqlite", "INSERT INTO moz_cookies (name, value, host, path) VALUES (" +
                                          Quoted(name) + ", 'v', " + Quoted(host) + ", " +
                                          Quoted(path) + ")");
}

int64_t AddFirefoxPage(const fs::path& profile, const std::string& url, int visits,
                       bool bookmarked) {
  const fs::path places = profile / "places.sqlite";
  const std::string id = "(SELECT id FROM moz_places WHERE url = " + Quoted(url) + ")";
  ExecSql(places,
          "INSERT INTO moz_origins (prefix, host) VALUES ('https://', " + Quoted(url) +
              "); INSERT INTO moz_places (url, visit_count, last_visit_date, origin_id) VALUES (" +
              Quoted(url) + ", " + std::to_string(visits) +
              ", 1000, (SELECT max(id) FROM moz_origins));" +
              Visits("moz_historyvisits", "place_id, visit_date", id, visits) +
              "INSERT INTO moz_annos (place_id, content) VALUES (" + id + ", 'note');" +
              (bookmarked ? "INSERT INTO moz_bookmarks (type, fk, parent) VALUES (1, " + id + ", 2)"
                          : ""));
  const auto rows = QueryRows(places, "SELECT " + id);
  return rows.empty() ? 0 : std::stoll(rows.front());
}

void AddChromiumCookie(const fs::path& cookieDatabase, const std::string& name,
                       const std::string& host, const std::string& path) {
  ExecSql(cookieDatabase,
          "INSERT INTO cookies (creation_utc, host_key, name, value, path) VALUES (1, " +
              Quoted(host) + ", " + Quoted(name) + ", 'v', " + Quoted(path) + ")");
}

void AddChromiumPage(const fs::path& profile, const std::string& url, int visits) {
  const fs::path history = profile / "History";
  const std::string id = "(SELECT id FROM urls WHERE url = " + Quoted(url) + ")";
  ExecSql(history, "INSERT INTO urls (url, visit_count) VALUES (" + Quoted(url) + ", " +
                       std::to_string(visits) + ");" +
                       Visits("visits", "url, visit_time", id, visits));
  if (!QueryRows(history, "SELECT name FROM sqlite_master WHERE name = 'segments'").empty()) {
    ExecSql(history, "INSERT INTO keyword_search_terms VALUES (1, " + id +
                         ", 'term', 'term'); INSERT INTO segments (name, url_id) VALUES (" +
                         Quoted(url) + ", " + id + ")");
  }
}

std::vector<std::string> WalkNames(modCache& walk) {
  std::vector<std::string> names;
  for (bool more = walk.FindFirstEntry(); more; more = walk.FindNextEntry()) {
    names.push_back(walk.EntrySourceName());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<ReportEntry> RunAction(void (*action)(modCache&, const WalkReport&), modCache& walk,
                                   bool preview) {
  RecordingSink sink;
  action(walk, {sink, preview});
  return sink.entries;
}

std::string SimpleCacheBytes(const std::string& key) {
  std::string bytes;
  Put(bytes, 0xfcfb6d1ba7725c30ull, 8, false);
  Put(bytes, 5, 4, false);  // version
  Put(bytes, key.size(), 4, false);
  Put(bytes, 0x12345678, 8, false);  // key hash, padding
  return bytes + key + std::string(64, 'd');
}

std::string FirefoxCacheBytes(const std::string& key, size_t dataSize, uint32_t version) {
  std::string bytes(dataSize, 'd');
  const size_t chunks = (dataSize + 256 * 1024 - 1) / (256 * 1024);
  Put(bytes, 0xabcdef01, 4, true);  // metadata hash
  bytes += std::string(2 * chunks, 'h');
  for (const uint32_t field : {version, 1u, 2u, 3u, 4u, 5u}) {
    Put(bytes, field, 4, true);
  }
  Put(bytes, static_cast<uint32_t>(key.size()), 4, true);
  if (version > 1) {
    Put(bytes, 0, 4, true);  // flags
  }
  bytes += key + '\0' + "request-method" + '\0' + "GET" + '\0';
  Put(bytes, static_cast<uint32_t>(dataSize), 4, true);
  return bytes;
}

}  // namespace hv::test
