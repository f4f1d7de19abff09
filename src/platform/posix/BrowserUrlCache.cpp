#include "platform/posix/BrowserUrlCache.h"

#include <sqlite3.h>

#include "util/ParallelWork.h"

namespace hv {

BrowserUrlCache::~BrowserUrlCache() {
  EndWalk();
}

bool BrowserUrlCache::Snapshot::Commit() {
  bool committed = true;
  for (const auto& store : stores) {
    committed = store->Commit() && committed;
  }
  return committed;
}

bool BrowserUrlCache::Snapshot::Delete(const std::string& name) {
  if (!indexed) {
    byName.reserve(traces.size());
    for (size_t index = 0; index < traces.size(); ++index) {
      byName.emplace(traces[index].second.name, index);
    }
    indexed = true;
  }
  const auto [first, last] = byName.equal_range(name);
  if (first == last) {
    return false;
  }
  bool deleted = false;
  for (auto found = first; found != last; ++found) {
    const auto& [store, trace] = traces[found->second];
    deleted = stores[store]->Delete(trace) || deleted;
  }
  byName.erase(first, last);
  return deleted;
}

std::unique_ptr<BrowserUrlCache::Snapshot> BrowserUrlCache::TakeSnapshot() {
  auto snapshot = std::make_unique<Snapshot>();
  cacheKeys_.NewListing();
  snapshot->stores = FindBrowserStores(folders_, &cacheKeys_);
  // The stores are listed side by side, each on one thread with its own connection; the
  // cache folders come last and take longest, so they are started first.
  const size_t count = snapshot->stores.size();
  std::vector<std::vector<Trace>> listed(count);
  const size_t threads = sqlite3_threadsafe() != 0 ? ProcessorCount() : 1;
  RunInParallel(count, threads, [&](size_t n) {
    const size_t store = count - 1 - n;
    snapshot->stores[store]->List(listed[store]);
  });
  size_t total = 0;
  for (const auto& traces : listed) {
    total += traces.size();
  }
  snapshot->traces.reserve(total);
  for (size_t store = 0; store < count; ++store) {
    for (Trace& trace : listed[store]) {
      snapshot->traces.emplace_back(store, std::move(trace));
    }
  }
  return snapshot;
}

void BrowserUrlCache::EndWalk() {
  if (walk_) {
    walk_->Commit();
    walk_.reset();
  }
  handle_ = 0;
}

UrlCacheHandle BrowserUrlCache::FindFirstUrlCacheEntry(UrlCacheEntry& entry) {
  EndWalk();
  walk_ = TakeSnapshot();
  if (walk_->traces.empty()) {
    EndWalk();
    return 0;
  }
  position_ = 0;
  entry.sourceUrlName = walk_->traces.front().second.name;
  handle_ = ++lastHandle_;
  return handle_;
}

bool BrowserUrlCache::FindNextUrlCacheEntry(UrlCacheHandle handle, UrlCacheEntry& entry) {
  if (handle == 0 || handle != handle_) {
    return false;
  }
  if (++position_ >= walk_->traces.size()) {
    EndWalk();
    return false;
  }
  entry.sourceUrlName = walk_->traces[position_].second.name;
  return true;
}

void BrowserUrlCache::FindCloseUrlCache(UrlCacheHandle handle) {
  if (handle != 0 && handle == handle_) {
    EndWalk();
  }
}

bool BrowserUrlCache::DeleteUrlCacheEntry(const std::string& sourceUrlName) {
  // Outside a walk the deletion looks at the stores as they are now and lands at once.
  if (walk_) {
    return walk_->Delete(sourceUrlName);
  }
  const std::unique_ptr<Snapshot> alone = TakeSnapshot();
  const bool deleted = alone->Delete(sourceUrlName);
  return alone->Commit() && deleted;
}

bool BrowserUrlCache::ClearHistory() {
  if (walk_) {
    walk_->Commit();  // so the history stores are free for the clearing
  }
  bool cleared = true;
  for (const auto& store : FindBrowserStores(folders_)) {
    cleared = store->ClearHistory() && cleared;
  }
  return cleared;
}

}  // namespace hv
