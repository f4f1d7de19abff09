#include "clean/UrlCacheActions.h"

#include <memory>

#include "clean/modCache.h"

namespace hv {

UrlCacheActions MakeUrlCacheActions(UrlCache& cache) {
  auto walk = std::make_shared<modCache>(cache);
  return {
      [walk](const CleanItem&, CleanContext&) { DeleteCookies(*walk); },
      [&cache](const CleanItem&, CleanContext&) { ClearUrlHistory(cache); },
      [walk](const CleanItem&, CleanContext&) { DeleteCacheFiles(*walk); },
  };
}

}  // namespace hv
