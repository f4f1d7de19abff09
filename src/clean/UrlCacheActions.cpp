#include "clean/UrlCacheActions.h"

#include <memory>

#include "clean/modCache.h"

namespace hv {

UrlCacheActions MakeUrlCacheActions(UrlCache& cache) {
  auto walk = std::make_shared<modCache>(cache);
  const auto action = [walk](void (*run)(modCache&, const WalkReport&)) -> CleanAction {
    return [walk, run](const CleanItem&, CleanContext& context) {
      run(*walk, {context.report, context.preview, &context.keptCookieSites, &context.fence});
    };
  };
  return {action(DeleteCookies), action(ClearUrlHistory), action(DeleteCacheFiles)};
}

}  // namespace hv
