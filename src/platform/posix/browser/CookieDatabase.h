#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix/browser/BrowserDatabase.h"
#include "platform/posix/browser/TraceStore.h"

namespace hv {

// The cookie table of one browser profile: Firefox's moz_cookies or the Chromium family's
// cookies. Each cookie is the entry "Cookie:" + name + "@" + host + path.
class CookieDatabase : public TraceStore {
 public:
  // hostColumn: "host" in Firefox, "host_key" in the Chromium family. Opened read only, the
  // store can be listed but not changed.
  CookieDatabase(const std::string& path, std::string table, std::string hostColumn, bool readOnly);
  ~CookieDatabase() override;
  CookieDatabase(const CookieDatabase&) = delete;
  CookieDatabase& operator=(const CookieDatabase&) = delete;

  void List(std::vector<Trace>& traces) override;
  // Takes the store's write lock; the row itself goes at Commit, together with the others.
  bool Delete(const Trace& trace, std::string& reason) override;
  bool Commit() override;

 private:
  // Whether the cookie table can be read; one trace standing for the store, left with the
  // reason, when the file cannot be.
  bool Usable(std::vector<Trace>& traces);
  std::string NameExpression() const;
  // Deletes the row at once, and only if it still holds the cookie of that name.
  bool DeleteChecked(const Trace& trace, std::string& reason);
  // Deletes the rows of pending_, as runs of consecutive row ids.
  bool DeletePending();

  BrowserDatabase db_;
  std::string table_;
  std::string hostColumn_;
  // The store's version when it was listed; while no other program has changed the store
  // since, a listed row id still holds the cookie listed.
  std::optional<int64_t> listedVersion_;
  bool rowsAsListed_ = false;
  std::vector<int64_t> pending_;
  // Prepared once: a store changed since the listing has its cookies deleted one by one.
  sqlite3_stmt* removeChecked_ = nullptr;
};

}  // namespace hv
