#include "clean/StandardCleanActions.h"

#include <utility>

#include "clean/BrowserFamilyCleanup.h"
#include "clean/FilesCleanAction.h"
#include "clean/ProfileCleanup.h"
#include "clean/RecycleBinAction.h"
#include "clean/UrlCacheActions.h"
#include "platform/PlatformServices.h"
#include "registry/DeleteRegistryItem.h"

namespace hv {

CleanActions StandardCleanActions(PlatformServices& services) {
  CleanActions actions;
  actions.Register(ItemKind::Registry, DeleteRegistryItemAction());
  actions.Register(ItemKind::Files, DeleteFilesAction(NativeFileSystem()));
  actions.Register(ItemKind::NamedFiles, DeleteNamedFilesAction(NativeFileSystem()));
  actions.Register(ItemKind::RecycleBin, EmptyRecycleBinAction(*services.recycleBin));
  // A system without a URL cache or browser profiles simply has nothing of them to clean.
  if (services.urlCache) {
    UrlCacheActions urlCache = MakeUrlCacheActions(*services.urlCache);
    actions.Register(ItemKind::Cookies, std::move(urlCache.deleteCookies));
    actions.Register(ItemKind::History, std::move(urlCache.clearUrlHistory));
    actions.Register(ItemKind::TemporaryInternetFiles, std::move(urlCache.deleteCacheFiles));
  }
  if (services.browserProfiles) {
    actions.Register(ItemKind::BrowserProfile, CleanProfileAction(*services.browserProfiles));
    actions.Register(ItemKind::BrowserFamilyFiles,
                     CleanBrowserFamilyAction(*services.browserProfiles, NativeFileSystem()));
  }
  return actions;
}

}  // namespace hv
