#pragma once

#include "clean/CleanActions.h"

namespace hv {

class UrlCache;

// The actions of the cookie (3), history (4) and temporary internet files (5) items. The
// three share one walk state over cache.
struct UrlCacheActions {
  CleanAction deleteCookies;
  CleanAction clearUrlHistory;
  CleanAction deleteCacheFiles;
};

UrlCacheActions MakeUrlCacheActions(UrlCache& cache);

}  // namespace hv
