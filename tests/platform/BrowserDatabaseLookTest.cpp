// A look at a browser's database in WAL mode leaves the folder as it found it: the side
// files SQLite makes for a reader go again, unless another connection still uses them.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <set>
#include <string>

#include "TempFolder.h"
#include "platform/posix/browser/BrowserDatabase.h"

namespace hv {
namespace {

namespace fs = std::filesystem;

sqlite3* Open(const fs::path& database) {
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
  return db;
}

void Execute(sqlite3* db, const char* sql) {
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
}

int CountRows(BrowserDatabase& store) {
  sqlite3_stmt* query = nullptr;
  EXPECT_EQ(
      sqlite3_prepare_v2(store.Handle(), "SELECT count(*) FROM moz_cookies", -1, &query, nullptr),
      SQLITE_OK);
  const int rows = sqlite3_step(query) == SQLITE_ROW ? sqlite3_column_int(query, 0) : -1;
  sqlite3_finalize(query);
  return rows;
}

TEST(BrowserDatabaseLookTest, ALookLeavesOnlyTheFilesThatWereThere) {
  for (const bool browserOpen : {false, true}) {
    SCOPED_TRACE(browserOpen ? "the browser holds the store open" : "the browser is closed");
    const test::TempFolder folder;
    const fs::path database = folder / "cookies.sqlite";
    sqlite3* browser = Open(database);
    Execute(browser,
            "PRAGMA journal_mode = WAL; CREATE TABLE moz_cookies (name TEXT);"
            "INSERT INTO moz_cookies VALUES ('sid'), ('theme');");
    if (!browserOpen) {
      sqlite3_close(browser);  // the last connection takes its side files with it
      browser = nullptr;
    }
    const std::set<std::string> before = test::NamesIn(folder.Path());
    {
      BrowserDatabase look(database.string(), true);
      ASSERT_TRUE(look.Readable());
      EXPECT_EQ(CountRows(look), 2);
    }
    EXPECT_EQ(test::NamesIn(folder.Path()), before);
    if (browser != nullptr) {
      // The browser's connection still works on the files it had.
      Execute(browser, "INSERT INTO moz_cookies VALUES ('lang');");
      sqlite3_close(browser);
    }
  }
}

}  // namespace
}  // namespace hv
