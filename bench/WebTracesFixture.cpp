#include "WebTracesFixture.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>

namespace bench {
namespace {

namespace fs = std::filesystem;

void Exec(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::fprintf(stderr, "fixture: %s\n", message != nullptr ? message : "?");
    std::exit(1);
  }
}

void BuildDatabase(const fs::path& file, const std::string& schema,
                   const std::function<void(sqlite3*, int)>& addRow) {
  sqlite3* db = nullptr;
  sqlite3_open(file.c_str(), &db);
  Exec(db, "PRAGMA journal_mode = WAL");  // as the browsers keep them
  Exec(db, schema);
  Exec(db, "BEGIN");
  for (int i = 0; i < kTraceCount; ++i) {
    addRow(db, i);
  }
  Exec(db, "COMMIT");
  sqlite3_close(db);
}

void PutBigEndian32(std::string& bytes, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    bytes += static_cast<char>(value >> shift & 0xff);
  }
}

// A cache2 entry: data, metadata with the key, and the metadata offset at the end.
std::string FirefoxCacheEntry(const std::string& key) {
  std::string bytes(2000, 'd');
  PutBigEndian32(bytes, 0);
  bytes += "hh";
  for (const uint32_t field : {3u, 1u, 2u, 3u, 4u, 5u, static_cast<uint32_t>(key.size()), 0u}) {
    PutBigEndian32(bytes, field);
  }
  bytes += key + '\0';
  PutBigEndian32(bytes, 2000);
  return bytes;
}

}  // namespace

WebTraces BuildWebTraces(const fs::path& root) {
  fs::remove_all(root);
  WebTraces fixture{root / "home", root / "home/.mozilla/firefox/bench.default",
                    root / "home/.cache/mozilla/firefox/bench.default/cache2/entries"};
  fs::create_directories(fixture.profile);
  fs::create_directories(fixture.entries);
  BuildDatabase(fixture.profile / "cookies.sqlite",
                "CREATE TABLE moz_cookies (id INTEGER PRIMARY KEY, originAttributes TEXT NOT "
                "NULL DEFAULT '', name TEXT, value TEXT, host TEXT, path TEXT, expiry INTEGER)",
                [](sqlite3* db, int i) {
                  Exec(db, "INSERT INTO moz_cookies (name, value, host, path) VALUES ('c" +
                               std::to_string(i) + "', 'value', '.site" + std::to_string(i) +
                               ".example', '/')");
                });
  BuildDatabase(fixture.profile / "places.sqlite",
                "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title "
                "LONGVARCHAR, visit_count INTEGER DEFAULT 0, last_visit_date INTEGER);"
                "CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, from_visit INTEGER, "
                "place_id INTEGER, visit_date INTEGER, visit_type INTEGER);"
                "CREATE INDEX moz_historyvisits_placedateindex ON moz_historyvisits "
                "(place_id, visit_date);"
                "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER "
                "DEFAULT NULL, parent INTEGER, title LONGVARCHAR);"
                "CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type)",
                [](sqlite3* db, int i) {
                  const std::string id = std::to_string(i + 1);
                  Exec(db, "INSERT INTO moz_places (id, url, visit_count) VALUES (" + id +
                               ", 'https://site" + std::to_string(i) + ".example/page', 1);" +
                               "INSERT INTO moz_historyvisits (place_id, visit_date) VALUES (" +
                               id + ", 1)");
                });
  for (int i = 0; i < kTraceCount; ++i) {
    char name[48];
    std::snprintf(name, sizeof name, "%040X", i);
    std::ofstream(fixture.entries / name, std::ios::binary)
        << FirefoxCacheEntry("a,:https://site" + std::to_string(i) + ".example/image.png");
  }
  return fixture;
}

}  // namespace bench
