#include "clean/modCache.h"

#include <functional>

#include "util/NamePattern.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

// The failure code of the platform's history store (E_FAIL), as the run would see it.
constexpr long kHistoryNotCleared = static_cast<long>(static_cast<int32_t>(0x80004005u));

// One complete walk, deleting every entry whose name qualifies.
void DeleteQualifying(modCache& cache, const std::function<bool(const std::string&)>& qualifies) {
  const auto test = [&] {
    if (qualifies(cache.EntrySourceName())) {
      cache.DeleteEntry(cache.EntrySourceName());  // an entry in use stays; the walk goes on
    }
  };
  if (cache.FindFirstEntry()) {
    test();
  }
  while (cache.FindNextEntry()) {
    test();
  }
}

}  // namespace

modCache::~modCache() {
  CloseSearch();
}

void modCache::CloseSearch() {
  if (searchHandle_ != 0) {
    cache_.FindCloseUrlCache(searchHandle_);
    searchHandle_ = 0;
  }
}

bool modCache::FindFirstEntry() {
  CloseSearch();
  currentEntry_.sourceUrlName.clear();  // keeps its buffer: a walk names thousands
  searchHandle_ = cache_.FindFirstUrlCacheEntry(currentEntry_);
  return searchHandle_ != 0;
}

bool modCache::FindNextEntry() {
  if (searchHandle_ == 0) {
    return false;
  }
  currentEntry_.sourceUrlName.clear();
  return cache_.FindNextUrlCacheEntry(searchHandle_, currentEntry_);
}

const std::string& modCache::EntrySourceName() const {
  return currentEntry_.sourceUrlName;
}

bool modCache::DeleteEntry(const std::string& name) {
  return cache_.DeleteUrlCacheEntry(name);
}

void DeleteCookies(modCache& cache) {
  DeleteQualifying(cache, [](const std::string& name) { return MatchesPattern(name, "Cookie:*"); });
}

void DeleteCacheFiles(modCache& cache) {
  DeleteQualifying(cache, [](const std::string& name) {
    return !MatchesPattern(name, "Visited:*") && !MatchesPattern(name, "Cookie:*");
  });
}

void ClearUrlHistory(UrlCache& cache) {
  if (!cache.ClearHistory()) {
    throw NumberedError(kHistoryNotCleared, "modCache",
                        "The browsing history could not be cleared.");
  }
}

}  // namespace hv
