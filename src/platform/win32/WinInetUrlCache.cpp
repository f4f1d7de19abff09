#include "platform/win32/WinInetUrlCache.h"

#include <string>

#include "clean/ReportSink.h"

#include "platform/win32/WindowsApi.h"
// The Internet and COM headers need the system's types first.
#include <shlguid.h>
#include <urlhist.h>
#include <wininet.h>

// The service's own member names, not the system's ANSI/wide switches.
#undef FindFirstUrlCacheEntry
#undef FindNextUrlCacheEntry
#undef DeleteUrlCacheEntry

namespace hv {
namespace {

// One enumeration step: ask for the size the entry needs, then fetch it into a block of
// exactly that size. An entry that grew between the two calls is asked for once more
// rather than ending the walk.
template <typename Fetch>
bool FetchEntry(Fetch fetch, UrlCacheEntry& entry) {
  DWORD size = 0;
  fetch(nullptr, &size);
  for (int attempt = 0; attempt < 3 && size != 0; ++attempt) {
    auto* info = static_cast<INTERNET_CACHE_ENTRY_INFOA*>(LocalAlloc(0, size));
    if (info == nullptr) {
      return false;
    }
    info->dwStructSize = size;
    DWORD fetched = size;
    const bool ok = fetch(info, &fetched);
    const bool grew = !ok && GetLastError() == ERROR_INSUFFICIENT_BUFFER;
    if (ok) {
      entry.sourceUrlName = info->lpszSourceUrlName != nullptr ? info->lpszSourceUrlName : "";
      // The size of the cached file; the system tells no more about the blocks it takes.
      entry.bytes = static_cast<uint64_t>(info->dwSizeHigh) << 32 | info->dwSizeLow;
      entry.file = info->lpszLocalFileName != nullptr ? info->lpszLocalFileName : "";
    }
    LocalFree(info);
    if (!grew) {
      return ok;
    }
    size = fetched;
  }
  return false;
}

}  // namespace

UrlCacheHandle WinInetUrlCache::FindFirstUrlCacheEntry(UrlCacheEntry& entry, bool) {
  HANDLE search = nullptr;
  const bool found = FetchEntry(
      [&](INTERNET_CACHE_ENTRY_INFOA* info, DWORD* size) {
        const HANDLE opened = FindFirstUrlCacheEntryA(nullptr, info, size);
        if (opened == nullptr) {
          return false;
        }
        if (info == nullptr) {  // a size query that found the entry still opens a walk
          ::FindCloseUrlCache(opened);
          return false;
        }
        search = opened;
        return true;
      },
      entry);
  return found ? reinterpret_cast<UrlCacheHandle>(search) : 0;
}

bool WinInetUrlCache::FindNextUrlCacheEntry(UrlCacheHandle handle, UrlCacheEntry& entry) {
  if (handle == 0) {
    return false;
  }
  const HANDLE search = reinterpret_cast<HANDLE>(handle);
  return FetchEntry(
      [&](INTERNET_CACHE_ENTRY_INFOA* info, DWORD* size) {
        return FindNextUrlCacheEntryA(search, info, size) != FALSE;
      },
      entry);
}

void WinInetUrlCache::FindCloseUrlCache(UrlCacheHandle handle) {
  if (handle != 0) {
    ::FindCloseUrlCache(reinterpret_cast<HANDLE>(handle));
  }
}

bool WinInetUrlCache::DeleteUrlCacheEntry(const std::string& sourceUrlName, std::string& reason) {
  if (DeleteUrlCacheEntryA(sourceUrlName.c_str()) != FALSE) {
    return true;
  }
  const DWORD error = GetLastError();
  // wininet answers "access denied" for an entry whose file a program holds open.
  reason = error == ERROR_ACCESS_DENIED    ? LeftReason::kInUse
           : error == ERROR_FILE_NOT_FOUND ? LeftReason::kVanished
                                           : "error " + std::to_string(error);
  return false;
}

bool WinInetUrlCache::ClearHistory() {
  // The window's thread has COM already; a test or a plain thread gets it for the call.
  const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IUrlHistoryStg2* history = nullptr;
  bool cleared = false;
  if (SUCCEEDED(CoCreateInstance(CLSID_CUrlHistory, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IUrlHistoryStg2, reinterpret_cast<void**>(&history)))) {
    cleared = SUCCEEDED(history->ClearHistory());
    history->Release();
  }
  if (SUCCEEDED(started)) {
    CoUninitialize();
  }
  return cleared;
}

}  // namespace hv
