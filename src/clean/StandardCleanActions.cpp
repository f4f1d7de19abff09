#include "clean/StandardCleanActions.h"

#include "clean/RecycleBinAction.h"
#include "platform/PlatformServices.h"
#include "registry/DeleteRegistryItem.h"

namespace hv {

CleanActions StandardCleanActions(PlatformServices& services) {
  CleanActions actions;
  actions.Register(ItemKind::Registry, DeleteRegistryItemAction());
  actions.Register(ItemKind::RecycleBin, EmptyRecycleBinAction(*services.recycleBin));
  return actions;
}

}  // namespace hv
