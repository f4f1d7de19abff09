#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/posix/browser/BrowserDatabase.h"
#include "platform/posix/browser/TraceStore.h"

namespace hv {

// Firefox's icons of pages (favicons.sqlite), kept apart from the history in places.sqlite:
// a page's icon rows outlive its history there. A page row goes once places.sqlite no longer
// holds its address, and an icon once no page is left to use it. Each page row is the entry
// "Visited: " + its address, shown as "favicon of " + the address.
class FaviconDatabase : public TraceStore {
 public:
  FaviconDatabase(const std::string& path, std::string placesPath, bool readOnly);
  ~FaviconDatabase() override;
  FaviconDatabase(const FaviconDatabase&) = delete;
  FaviconDatabase& operator=(const FaviconDatabase&) = delete;

  // The pages no bookmark or keyword keeps in places.sqlite: those clearing the history
  // leaves without a page.
  void List(std::vector<Trace>& traces) override;
  // Marks the page; at Commit it goes if places.sqlite no longer holds it by then.
  bool Delete(const Trace& trace, std::string& reason) override;
  bool Commit() override;
  // Forgets every page places.sqlite no longer holds; a store its browser holds stays.
  bool ClearHistory() override;

  using Page = std::pair<int64_t, std::string>;  // row id and address
  using Urls = std::unordered_set<std::string>;

 private:
  bool Usable();
  std::vector<Page> AllPages();
  // Deletes those of pages that places.sqlite no longer holds, with their links to icons,
  // then the icons no page uses any more; inside the open write transaction.
  bool Forget(const std::vector<Page>& pages);
  bool ForgetIcons(const Urls& placesUrls);
  bool Run(const char* sql);

  BrowserDatabase db_;
  std::string placesPath_;
  std::vector<Page> marked_;
};

}  // namespace hv
