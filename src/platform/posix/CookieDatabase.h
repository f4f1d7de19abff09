#pragma once

#include <string>

#include "platform/posix/BrowserDatabase.h"
#include "platform/posix/TraceStore.h"

namespace hv {

// The cookie table of one browser profile: Firefox's moz_cookies or the Chromium family's
// cookies. Each cookie is the entry "Cookie:" + name + "@" + host + path.
class CookieDatabase : public TraceStore {
 public:
  // hostColumn: "host" in Firefox, "host_key" in the Chromium family.
  CookieDatabase(const std::string& path, std::string table, std::string hostColumn);
  ~CookieDatabase() override;
  CookieDatabase(const CookieDatabase&) = delete;
  CookieDatabase& operator=(const CookieDatabase&) = delete;

  void List(std::vector<Trace>& traces) override;
  bool Delete(const Trace& trace) override;
  bool Commit() override { return db_.Commit(); }

 private:
  bool Usable();
  std::string NameExpression() const;

  BrowserDatabase db_;
  std::string table_;
  std::string hostColumn_;
  // Prepared once: a walk deletes thousands of cookies one by one.
  sqlite3_stmt* remove_ = nullptr;
};

}  // namespace hv
