#pragma once

#include <string>

#include "platform/posix/browser/BrowserDatabase.h"
#include "platform/posix/browser/TraceStore.h"

namespace hv {

// The history database of one browser profile: Firefox's places.sqlite or the Chromium
// family's History. Each visited page is the entry "Visited: " + its URL.
class HistoryDatabase : public TraceStore {
 public:
  enum class Family { Firefox, Chromium };

  // Opened read only, the store can be listed but not changed.
  HistoryDatabase(const std::string& path, Family family, bool readOnly);
  ~HistoryDatabase() override;
  HistoryDatabase(const HistoryDatabase&) = delete;
  HistoryDatabase& operator=(const HistoryDatabase&) = delete;

  void List(std::vector<Trace>& traces) override;
  // Marks the page for forgetting; at Commit its visits go, and the page itself unless a
  // bookmark keeps it, together with the other pages marked.
  bool Delete(const Trace& trace, std::string& reason) override;
  bool Commit() override;
  // Removes every visit, search term and segment and every page no bookmark keeps.
  bool ClearHistory() override;

 private:
  bool Usable();
  // Empties the table of pages to forget, making it first if need be.
  bool StartPages();
  // Forgets the visits of the pages in the table of pages to forget.
  bool ForgetPages();
  bool ForgetFirefoxPages();
  bool ForgetChromiumPages();
  // DELETE FROM table WHERE column IN (ids), when the table and column exist.
  bool DeleteLinked(const std::string& table, const std::string& column, const std::string& ids);
  bool Run(const std::string& sql);

  BrowserDatabase db_;
  Family family_;
  std::string pages_;
  std::string visits_;
  std::string visitPage_;
  bool marking_ = false;  // pages are marked for the open write transaction
  // Prepared once: a walk marks thousands of pages.
  sqlite3_stmt* mark_ = nullptr;
};

}  // namespace hv
