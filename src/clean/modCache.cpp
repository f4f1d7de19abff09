#include "clean/modCache.h"

#include <functional>

#include "util/NamePattern.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

// The failure code of the platform's history store (E_FAIL), as the run would see it.
constexpr long kHistoryNotCleared = static_cast<long>(static_cast<int32_t>(0x80004005u));

constexpr std::string_view kCookiePrefix = "Cookie:";
constexpr std::string_view kVisitedPrefix = "Visited:";

// "cookie of example.org" for "Cookie:name@.example.org/path": the name before the last '@',
// the host up to the path.
std::string CookieShown(const std::string& name) {
  const size_t at = name.rfind('@');
  const size_t hostStart = at == std::string::npos ? kCookiePrefix.size() : at + 1;
  std::string host = name.substr(hostStart, name.find('/', hostStart) - hostStart);
  if (host.starts_with('.')) {
    host.erase(0, 1);
  }
  return "cookie of " + host;
}

// The address of "Visited: https://example.org/", without the user name some platforms put
// before it ("Visited: user@https://...").
std::string AddressShown(const std::string& name) {
  std::string address = name.substr(kVisitedPrefix.size());
  if (address.starts_with(' ')) {
    address.erase(0, 1);
  }
  const size_t at = address.find('@');
  if (at != std::string::npos && address.find_first_of(":/") > at) {
    address.erase(0, at + 1);
  }
  return address;
}

// The report entry of the current entry, before its outcome is known.
ReportEntry Describe(const UrlCacheEntry& entry, EntryType type) {
  ReportEntry described{type, entry.display, std::nullopt, EntryOutcome::kRemoved, {}};
  if (type == EntryType::kCacheFile) {
    described.bytes = entry.bytes;
  }
  if (described.what.empty()) {
    described.what = type == EntryType::kCookie         ? CookieShown(entry.sourceUrlName)
                     : type == EntryType::kHistoryEntry ? AddressShown(entry.sourceUrlName)
                                                        : entry.sourceUrlName;
  }
  return described;
}

// One complete walk over the entries whose name qualifies: each is deleted (or, in a
// preview, only reported) and its outcome reported as it is met. A stop request ends the
// walk between two entries, its deletions made; false then.
bool WalkQualifying(modCache& cache, const WalkReport& report, EntryType type,
                    const std::function<bool(const std::string&)>& qualifies) {
  std::string reason;
  for (bool more = cache.FindFirstEntry(report.preview); more; more = cache.FindNextEntry()) {
    if (report.sink.StopRequested()) {
      cache.CloseSearch();
      return false;
    }
    const UrlCacheEntry& entry = cache.Entry();
    if (!qualifies(entry.sourceUrlName)) {
      continue;
    }
    ReportEntry met = Describe(entry, type);
    if (!entry.left.empty()) {
      met.outcome = EntryOutcome::kLeft;
      met.reason = entry.left;
    } else if (report.preview) {
      if (entry.identity.Known() && !report.sink.FirstCount(entry.identity)) {
        continue;  // an earlier item of the run would have removed the file already
      }
      met.outcome = EntryOutcome::kWouldBeRemoved;
    } else if (!cache.DeleteEntry(entry.sourceUrlName, reason)) {
      // an entry in use stays; the walk goes on
      met.outcome = EntryOutcome::kLeft;
      met.reason = reason;
    }
    report.sink.Add(met);
  }
  return true;
}

bool IsCookie(const std::string& name) {
  return MatchesPattern(name, "Cookie:*");
}

bool IsVisited(const std::string& name) {
  return MatchesPattern(name, "Visited:*");
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

bool modCache::FindFirstEntry(bool lookOnly) {
  CloseSearch();
  currentEntry_.sourceUrlName.clear();  // keeps its buffer: a walk names thousands
  searchHandle_ = cache_.FindFirstUrlCacheEntry(currentEntry_, lookOnly);
  return searchHandle_ != 0;
}

bool modCache::FindNextEntry() {
  if (searchHandle_ == 0) {
    return false;
  }
  currentEntry_.sourceUrlName.clear();
  return cache_.FindNextUrlCacheEntry(searchHandle_, currentEntry_);
}

bool modCache::DeleteEntry(const std::string& name, std::string& reason) {
  return cache_.DeleteUrlCacheEntry(name, reason);
}

void DeleteCookies(modCache& cache, const WalkReport& report) {
  WalkQualifying(cache, report, EntryType::kCookie, IsCookie);
}

void DeleteCacheFiles(modCache& cache, const WalkReport& report) {
  WalkQualifying(cache, report, EntryType::kCacheFile,
                 [](const std::string& name) { return !IsVisited(name) && !IsCookie(name); });
}

void ClearUrlHistory(modCache& cache, const WalkReport& report) {
  if (!WalkQualifying(cache, report, EntryType::kHistoryEntry, IsVisited) || report.preview) {
    return;
  }
  if (!cache.ClearHistory()) {
    throw NumberedError(kHistoryNotCleared, "modCache",
                        "The browsing history could not be cleared.");
  }
}

}  // namespace hv
