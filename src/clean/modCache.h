#pragma once

#include <string>

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

  // Starts a new walk; true when it has a current entry.
  bool FindFirstEntry();
  // Moves to the next entry; false at the end of the walk or when no walk is open.
  bool FindNextEntry();
  // The source URL name of the current entry; empty when there is none. Valid until the
  // next step of the walk.
  const std::string& EntrySourceName() const;
  // Deletes the cache entry of that name; true when the platform reports success.
  bool DeleteEntry(const std::string& name);

 private:
  void CloseSearch();

  UrlCache& cache_;
  UrlCacheHandle searchHandle_ = 0;
  UrlCacheEntry currentEntry_;
};

// Kind 3: deletes every entry whose name matches "Cookie:*".
void DeleteCookies(modCache& cache);
// Kind 5: deletes every entry whose name matches neither "Visited:*" nor "Cookie:*".
void DeleteCacheFiles(modCache& cache);
// Kind 4: clears the browsing history. Throws NumberedError when it cannot be cleared.
void ClearUrlHistory(UrlCache& cache);

}  // namespace hv
