#pragma once

#include "clean/CleanActions.h"
#include "platform/FileSystem.h"

namespace hv {

// The file item: in the item's folder (placeholders expanded) deletes the files matching
// its mask, wiping them when the run's "Wipe files" setting is on.
CleanAction DeleteFilesAction(FileSystem& files);

// The named-files item: among the entries directly in the item's folder (placeholders
// expanded) deletes the regular files matching one of its ';'-separated masks, wiping them
// as the file item does.
CleanAction DeleteNamedFilesAction(FileSystem& files);

}  // namespace hv
