#pragma once

#include <optional>
#include <string>

#include "platform/posix/BrowserDatabase.h"
#include "platform/posix/TraceStore.h"

namespace hv {

// The history database of one browser profile: Firefox's places.sqlite or the Chromium
// family's History. Each visited page is the entry "Visited: " + its URL.
class HistoryDatabase : public TraceStore {
 public:
  enum class Family { Firefox, Chromium };

  HistoryDatabase(const std::string& path, Family family);

  void List(std::vector<Trace>& traces) override;
  // Removes the page's visits, and the page itself unless a bookmark keeps it.
  bool Delete(const Trace& trace) override;
  bool Commit() override { return db_.Commit(); }
  // Removes every visit, search term and segment and every page no bookmark keeps.
  bool ClearHistory() override;

 private:
  bool Usable();
  // Forgets the visits of one page (or of all, without a page) inside a savepoint, so a
  // failure undoes only this step and not the other pending deletions.
  bool ForgetPages(std::optional<int64_t> page);
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
};

}  // namespace hv
