#pragma once

#include <functional>

#include "platform/FileSystem.h"

namespace hv {

// Called for an entry of a walk with the open folder that listed it; false ends the walk.
using EntryVisitor = std::function<bool(Folder& folder, const FolderEntry& entry)>;
// Called for each listed entry as its folder is listed; false passes the entry over: it is
// neither entered nor visited.
using EntryFilter = std::function<bool(Folder& folder, const FolderEntry& entry)>;

// Visits everything below root that a folder deletion may touch, deepest first: each
// folder's own entries in the reverse of their listing order, after everything beneath
// them, so that every folder comes after what it holds and the last-listed subfolder's
// entries come first. Hidden and system entries are left out, and only plain folders
// (attributes exactly "directory") are entered, each opened through the folder that
// listed it, so a link, another volume, or whatever a listed folder was swapped for is
// never entered. A plain folder that cannot be opened is given to unopened, when there is
// one, as it is met; its content is passed over and the folder is still visited. root
// itself is not visited. The walk ends early when either visitor returns false. With
// hiddenToo set, hidden entries are walked like the others (system ones never are).
// Entries that passes turns down are left out as hidden ones are.
void WalkDeepestFirst(Folder& root, const EntryVisitor& visit, const EntryVisitor& unopened = {},
                      bool hiddenToo = false, const EntryFilter& passes = {});

}  // namespace hv
