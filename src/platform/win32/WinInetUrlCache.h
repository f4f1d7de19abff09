#pragma once

#include "platform/UrlCache.h"

namespace hv {

// The URL cache through wininet's ANSI calls and the history through the system's URL
// history object. Enumerating changes nothing, so a walk for looking only is a plain one.
class WinInetUrlCache : public UrlCache {
 public:
  UrlCacheHandle FindFirstUrlCacheEntry(UrlCacheEntry& entry, bool lookOnly) override;
  bool FindNextUrlCacheEntry(UrlCacheHandle handle, UrlCacheEntry& entry) override;
  void FindCloseUrlCache(UrlCacheHandle handle) override;
  bool DeleteUrlCacheEntry(const std::string& sourceUrlName, std::string& reason) override;
  bool ClearHistory() override;
};

}  // namespace hv
