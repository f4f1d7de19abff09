#pragma once

#include "platform/UrlCache.h"

namespace hv {

// The URL cache through wininet's ANSI calls and the history through the system's URL
// history object.
class WinInetUrlCache : public UrlCache {
 public:
  UrlCacheHandle FindFirstUrlCacheEntry(UrlCacheEntry& entry) override;
  bool FindNextUrlCacheEntry(UrlCacheHandle handle, UrlCacheEntry& entry) override;
  void FindCloseUrlCache(UrlCacheHandle handle) override;
  bool DeleteUrlCacheEntry(const std::string& sourceUrlName) override;
  bool ClearHistory() override;
};

}  // namespace hv
