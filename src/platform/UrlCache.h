#pragma once

#include <cstdint>
#include <string>

namespace hv {

// An open enumeration of the URL cache; 0 stands for none.
using UrlCacheHandle = std::uintptr_t;

// One entry of the URL cache, as an enumeration step reports it.
struct UrlCacheEntry {
  std::string sourceUrlName;
};

// The user's URL cache and browsing history. Each call maps to one call of the platform's
// Internet functions (FindFirstUrlCacheEntryA, FindNextUrlCacheEntryA, FindCloseUrlCache,
// DeleteUrlCacheEntryA) or of its URL history store (ClearHistory).
class UrlCache {
 public:
  virtual ~UrlCache() = default;

  // Starts an enumeration of every entry (no search pattern) and reports its first entry
  // in entry. 0 when there is no entry to report.
  virtual UrlCacheHandle FindFirstUrlCacheEntry(UrlCacheEntry& entry) = 0;

  // Reports the next entry of the enumeration; false at its end or for an unknown handle.
  virtual bool FindNextUrlCacheEntry(UrlCacheHandle handle, UrlCacheEntry& entry) = 0;

  virtual void FindCloseUrlCache(UrlCacheHandle handle) = 0;

  // Deletes the entry of that source URL name; true when it was deleted.
  virtual bool DeleteUrlCacheEntry(const std::string& sourceUrlName) = 0;

  // Clears the browsing history; false when it could not be cleared.
  virtual bool ClearHistory() = 0;
};

}  // namespace hv
