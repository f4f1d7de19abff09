#include "fileio/FileList.h"

#include <algorithm>
#include <ranges>

namespace hv {
namespace {

using namespace FileAttribute;

bool IsListed(const FolderEntry& entry) {
  return (entry.attributes & (kHidden | kSystem)) == 0;
}

// A folder with any further bit (read-only, a link, a mount point) is not entered.
bool IsPlainFolder(const FolderEntry& entry) {
  return entry.attributes == kDirectory;
}

}  // namespace

void ListFolder(const std::string& path, FileList& list, FileSystem& files) {
  // Folders still to list, the next one last; a stack rather than recursion, so that a
  // deep tree cannot exhaust the call stack.
  std::vector<std::string> pending{path};
  while (!pending.empty()) {
    const std::string folder = std::move(pending.back());
    pending.pop_back();
    std::vector<std::string> subfolders;
    for (const FolderEntry& entry : files.ListFolder(folder)) {
      if (!IsListed(entry)) {
        continue;
      }
      list.push_back(folder + entry.name);
      if (IsPlainFolder(entry)) {
        subfolders.push_back(folder + entry.name + kPathSeparator);
      }
    }
    std::ranges::move(subfolders | std::views::reverse, std::back_inserter(pending));
  }
}

void ReverseCollection(FileList& list) {
  std::ranges::reverse(list);
}

FileList BuildFileList(const std::string& path, FileSystem& files) {
  FileList list;
  ListFolder(path, list, files);
  ReverseCollection(list);
  return list;
}

}  // namespace hv
