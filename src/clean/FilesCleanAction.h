#pragma once

#include "clean/CleanActions.h"
#include "platform/FileSystem.h"

namespace hv {

// The file item: in the item's folder (placeholders expanded) deletes the files matching
// its mask, wiping them when the run's "Wipe files" setting is on.
CleanAction DeleteFilesAction(FileSystem& files);

}  // namespace hv
