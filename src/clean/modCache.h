#pragma once

#include <string>

#include "clean/ReportSink.h"
#include "platform/UrlCache.h"

namespace hv {

// The walk over the URL cache: one open enumeration and its current entry. The handle of
// a finished walk stays open until the next walk starts (or the walk object goes).
class modCache {
 public:
  explicit modCache(UrlCache& cache) : cache_(cache) {}
  ~modCache();
  modCache(const modCache&) = delete;
  modCache& operator=(const modCache&) = delete;

  // Starts a new walk, for looking only when lookOnly is set; true when it has a current
  // entry.
  bool FindFirstEntry(bool lookOnly = false);
  // Moves to the next entry; false at the end of the walk or when no walk is open.
  bool FindNextEntry();
  // The current entry; an empty name when there is none. Valid until the next step.
  const UrlCacheEntry& Entry() const { return currentEntry_; }
  const std::string& EntrySourceName() const { return currentEntry_.sourceUrlName; }
  // Deletes the cache entry of that name; true when the platform reports success,
  // otherwise why not in reason.
  bool DeleteEntry(const std::string& name, std::string& reason);
  // Ends the open walk, so that what it deleted lands now.
  void CloseSearch();
  bool ClearHistory() { return cache_.ClearHistory(); }

 private:
  UrlCache& cache_;
  UrlCacheHandle searchHandle_ = 0;
  UrlCacheEntry currentEntry_;
};

// How an action of the walk reports: each entry it meets goes to sink; in a preview nothing
// is deleted, and a cache file the sink counted already is left out.
struct WalkReport {
  ReportSink& sink;
  bool preview = false;
};

// Kind 3: deletes every entry whose name matches "Cookie:*".
void DeleteCookies(modCache& cache, const WalkReport& report);
// Kind 5: deletes every entry whose name matches neither "Visited:*" nor "Cookie:*".
void DeleteCacheFiles(modCache& cache, const WalkReport& report);
// Kind 4: deletes every entry whose name matches "Visited:*", then clears what else the
// browsing history keeps. Throws NumberedError when it cannot be cleared. A preview, or a
// walk stopped on request, leaves the rest of the history as it is.
void ClearUrlHistory(modCache& cache, const WalkReport& report);

}  // namespace hv
