#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/UrlCache.h"
#include "platform/posix/browser/BrowserFolders.h"
#include "platform/posix/browser/CacheKeyMemory.h"
#include "platform/posix/browser/TraceStore.h"

namespace hv {

// The URL cache of Linux: the cookies, visited pages and cache files of the user's
// Firefox and Chromium-family profiles, presented as one cache. An enumeration works on
// the stores as they were when it started; one enumeration is open at a time, and
// starting another ends the previous one. Deletions made while an enumeration is open are
// committed per store when it ends (or is closed, or the next one starts), so a walk over
// thousands of entries pays one disk sync per store and not one per entry. The keys of the
// cache files are remembered between walks, so only files not seen before are read. An
// enumeration for looking only opens the databases read only.
class BrowserUrlCache : public UrlCache {
 public:
  explicit BrowserUrlCache(BrowserFolders folders) : folders_(std::move(folders)) {}
  ~BrowserUrlCache() override;

  UrlCacheHandle FindFirstUrlCacheEntry(UrlCacheEntry& entry, bool lookOnly) override;
  bool FindNextUrlCacheEntry(UrlCacheHandle handle, UrlCacheEntry& entry) override;
  void FindCloseUrlCache(UrlCacheHandle handle) override;
  // Deletes the walk's current trace when it has that name, else every trace of that name
  // in every store that holds it. Refused while a walk for looking only is open.
  bool DeleteUrlCacheEntry(const std::string& sourceUrlName, std::string& reason) override;
  // Clears the history of every store; false when one of them could not be cleared (its
  // browser holds it locked, for instance). The others are cleared all the same.
  bool ClearHistory() override;

 private:
  // The stores and their traces as one enumeration found them.
  struct Snapshot {
    std::vector<std::unique_ptr<TraceStore>> stores;
    std::vector<std::pair<size_t, Trace>> traces;  // store index, trace
    // Indexes into traces by name, made at the first deletion: a walk that deletes
    // nothing does not pay for it.
    std::unordered_multimap<std::string_view, size_t> byName;
    bool indexed = false;

    bool lookOnly = false;

    // Deletes the trace at current when it has that name, else every trace of that name.
    bool Delete(const std::string& name, size_t current, std::string& reason);
    bool Commit();

   private:
    bool DeleteTrace(size_t index, std::string& reason);
    void Index();
  };

  std::unique_ptr<Snapshot> TakeSnapshot(bool lookOnly);
  void EndWalk();
  // Puts the trace at position_ in entry.
  void Present(UrlCacheEntry& entry) const;

  BrowserFolders folders_;
  CacheKeyMemory cacheKeys_;
  std::unique_ptr<Snapshot> walk_;
  UrlCacheHandle handle_ = 0;
  UrlCacheHandle lastHandle_ = 0;
  size_t position_ = 0;
};

}  // namespace hv
