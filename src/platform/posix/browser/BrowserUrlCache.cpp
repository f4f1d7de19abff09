#include "platform/posix/browser/BrowserUrlCache.h"

#include <sqlite3.h>

#include "clean/ReportSink.h"
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

void BrowserUrlCache::Snapshot::Index() {
  if (indexed) {
    return;
  }
  byName.reserve(traces.size());
  for (size_t index = 0; index < traces.size(); ++index) {
    byName.emplace(traces[index].second.name, index);
  }
  indexed = true;
}

bool BrowserUrlCache::Snapshot::DeleteTrace(size_t index, std::string& reason) {
  const auto& [store, trace] = traces[index];
  if (!trace.left.empty()) {
    reason = trace.left;
    return false;
  }
  return stores[store]->Delete(trace, reason);
}

bool BrowserUrlCache::Snapshot::Delete(const std::string& name, size_t current,
                                       std::string& reason) {
  if (lookOnly) {
    reason = "not deleted: the cache is only being looked at";
    return false;
  }
  Index();
  const auto [first, last] = byName.equal_range(name);
  if (first == last) {
    reason = LeftReason::kVanished;
    return false;
  }
  // A walk deletes the entry it stands on; the same name in another store is an entry of
  // its own, met later in the walk.
  if (current < traces.size() && traces[current].second.name == name) {
    for (auto found = first; found != last; ++found) {
      if (found->second == current) {
        byName.erase(found);
        return DeleteTrace(current, reason);
      }
    }
    reason = LeftReason::kVanished;  // deleted already, by name
    return false;
  }
  bool deleted = false;
  for (auto found = first; found != last; ++found) {
    deleted = DeleteTrace(found->second, reason) || deleted;
  }
  byName.erase(first, last);
  return deleted;
}

std::unique_ptr<BrowserUrlCache::Snapshot> BrowserUrlCache::TakeSnapshot(bool lookOnly) {
  auto snapshot = std::make_unique<Snapshot>();
  snapshot->lookOnly = lookOnly;
  cacheKeys_.NewListing();
  snapshot->stores = FindBrowserStores(folders_, lookOnly, &cacheKeys_);
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

void BrowserUrlCache::Present(UrlCacheEntry& entry) const {
  const Trace& trace = walk_->traces[position_].second;
  entry.sourceUrlName = trace.name;
  entry.bytes = trace.bytes;
  entry.display = trace.display;
  entry.left = trace.left;
  entry.identity = trace.identity;
}

UrlCacheHandle BrowserUrlCache::FindFirstUrlCacheEntry(UrlCacheEntry& entry, bool lookOnly) {
  EndWalk();
  walk_ = TakeSnapshot(lookOnly);
  if (walk_->traces.empty()) {
    EndWalk();
    return 0;
  }
  position_ = 0;
  Present(entry);
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
  Present(entry);
  return true;
}

void BrowserUrlCache::FindCloseUrlCache(UrlCacheHandle handle) {
  if (handle != 0 && handle == handle_) {
    EndWalk();
  }
}

bool BrowserUrlCache::DeleteUrlCacheEntry(const std::string& sourceUrlName, std::string& reason) {
  // Outside a walk the deletion looks at the stores as they are now and lands at once.
  if (walk_) {
    return walk_->Delete(sourceUrlName, position_, reason);
  }
  const std::unique_ptr<Snapshot> alone = TakeSnapshot(false);
  const bool deleted = alone->Delete(sourceUrlName, alone->traces.size(), reason);
  return alone->Commit() && deleted;
}

bool BrowserUrlCache::ClearHistory() {
  if (walk_) {
    walk_->Commit();  // so the history stores are free for the clearing
  }
  bool cleared = true;
  for (const auto& store : FindBrowserStores(folders_, false)) {
    cleared = store->ClearHistory() && cleared;
  }
  return cleared;
}

}  // namespace hv
