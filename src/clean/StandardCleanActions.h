#pragma once

#include "clean/CleanActions.h"

namespace hv {

struct PlatformServices;

// The action of every kind code, over the given platform services.
CleanActions StandardCleanActions(PlatformServices& services);

}  // namespace hv
