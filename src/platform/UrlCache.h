#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/FileIdentity.h"

namespace hv {

// An open enumeration of the URL cache; 0 stands for none.
using UrlCacheHandle = std::uintptr_t;

// One entry of the URL cache, as an enumeration step reports it.
struct UrlCacheEntry {
  std::string sourceUrlName;
  std::optional<uint64_t> bytes;  // what deleting it frees on disk, where the platform knows
  std::string display;            // how to show it, where its name does not tell
  // Set when the entry cannot be deleted, with why: a whole store its browser holds locked,
  // a cache folder reached through a link. Such an entry is shown, never deleted.
  std::string left;
  FileIdentity identity = {};  // the file a cache entry is, where the platform knows it
};

// The user's URL cache and browsing history. Each call maps to one call of the platform's
// Internet functions (FindFirstUrlCacheEntryA, FindNextUrlCacheEntryA, FindCloseUrlCache,
// DeleteUrlCacheEntryA) or of its URL history store (ClearHistory).
class UrlCache {
 public:
  virtual ~UrlCache() = default;

  // Starts an enumeration of every entry (no search pattern) and reports its first entry
  // in entry. 0 when there is no entry to report. An enumeration for looking only changes
  // nothing anywhere, and deletes nothing while it is open.
  virtual UrlCacheHandle FindFirstUrlCacheEntry(UrlCacheEntry& entry, bool lookOnly) = 0;

  // Reports the next entry of the enumeration; false at its end or for an unknown handle.
  virtual bool FindNextUrlCacheEntry(UrlCacheHandle handle, UrlCacheEntry& entry) = 0;

  virtual void FindCloseUrlCache(UrlCacheHandle handle) = 0;

  // Deletes the entry of that source URL name; true when it was deleted, otherwise why not
  // in reason.
  virtual bool DeleteUrlCacheEntry(const std::string& sourceUrlName, std::string& reason) = 0;

  // Clears the browsing history; false when it could not be cleared.
  virtual bool ClearHistory() = 0;
};

}  // namespace hv
