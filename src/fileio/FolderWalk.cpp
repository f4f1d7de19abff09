#include "fileio/FolderWalk.h"

#include <memory>
#include <utility>
#include <vector>

namespace hv {
namespace {

using namespace FileAttribute;

// The attribute bits the walk looks at; the hidden one when hidden entries are left out.
uint32_t Considered(bool hiddenToo) {
  return hiddenToo ? ~kHidden : ~uint32_t{0};
}

bool IsListed(const FolderEntry& entry, bool hiddenToo) {
  return (entry.attributes & (kHidden | kSystem) & Considered(hiddenToo)) == 0;
}

// A folder with any further bit (read-only, a link, a mount point) is not entered.
bool IsPlainFolder(const FolderEntry& entry, bool hiddenToo) {
  return (entry.attributes & Considered(hiddenToo)) == kDirectory;
}

// One open folder of the walk, its listing, and how far back its subfolders are entered.
struct Level {
  Level(Folder& folder, std::unique_ptr<Folder> owned, bool hiddenToo, const EntryFilter& passes)
      : folder(folder), owned(std::move(owned)) {
    for (FolderEntry& entry : this->folder.List()) {
      if (IsListed(entry, hiddenToo) && (!passes || passes(this->folder, entry))) {
        entries.push_back(std::move(entry));
      }
    }
    unentered = entries.size();
  }

  Folder& folder;
  std::unique_ptr<Folder> owned;  // empty for the walk's own root
  std::vector<FolderEntry> entries;
  size_t unentered;  // entries before this are still to look at for subfolders
};

}  // namespace

void WalkDeepestFirst(Folder& root, const EntryVisitor& visit, const EntryVisitor& unopened,
                      bool hiddenToo, const EntryFilter& passes) {
  // A stack of open levels rather than recursion: a deep tree cannot exhaust the call
  // stack, and only the folders on the way down are held open.
  std::vector<Level> levels;
  levels.emplace_back(root, nullptr, hiddenToo, passes);
  while (!levels.empty()) {
    Level& level = levels.back();
    while (level.unentered > 0 && !IsPlainFolder(level.entries[level.unentered - 1], hiddenToo)) {
      --level.unentered;
    }
    if (level.unentered > 0) {
      const FolderEntry& subfolder = level.entries[--level.unentered];
      if (std::unique_ptr<Folder> inner = level.folder.OpenSubfolder(subfolder.name)) {
        Folder& opened = *inner;
        levels.emplace_back(opened, std::move(inner), hiddenToo, passes);
      } else if (unopened && !unopened(level.folder, subfolder)) {
        return;
      }
      continue;
    }
    for (auto entry = level.entries.rbegin(); entry != level.entries.rend(); ++entry) {
      if (!visit(level.folder, *entry)) {
        return;
      }
    }
    levels.pop_back();
  }
}

}  // namespace hv
