#include "platform/posix/FreedesktopTrash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <set>
#include <utility>

#include "platform/posix/FolderEntries.h"
#include "platform/posix/MountPoints.h"
#include "platform/posix/RemoveTree.h"
#include "ports/UserInterface.h"

namespace hv {
namespace {

constexpr const char* kInfoSuffix = ".trashinfo";

bool IsRealFolder(const std::string& path, bool mustBeSticky) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return false;  // missing, or a symlink or something else in its place
  }
  return !mustBeSticky || (info.st_mode & S_ISVTX) != 0;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') {
    return folder + name;
  }
  return folder + "/" + name;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// An open subfolder of a trash folder (files/ or info/), never reached through a symlink.
class OpenFolder {
 public:
  OpenFolder(int parentFd, const char* name)
      : fd_(openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)) {}
  explicit OpenFolder(const std::string& path)
      : fd_(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)) {}
  ~OpenFolder() {
    if (fd_ >= 0) {
      close(fd_);
    }
  }
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;

  int Fd() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }

  std::vector<std::string> Names() const { return FolderEntryNames(fd_); }

 private:
  int fd_;
};

struct TrashContents {
  std::vector<std::string> files;  // names in files/
  std::vector<std::string> infos;  // names in info/ ending in .trashinfo

  size_t ItemCount() const {
    std::set<std::string> items(files.begin(), files.end());
    for (const std::string& info : infos) {
      items.insert(info.substr(0, info.size() - std::char_traits<char>::length(kInfoSuffix)));
    }
    return items.size();
  }
};

TrashContents ReadContents(const OpenFolder& trash) {
  TrashContents contents;
  contents.files = OpenFolder(trash.Fd(), "files").Names();
  for (std::string& name : OpenFolder(trash.Fd(), "info").Names()) {
    if (EndsWith(name, kInfoSuffix)) {
      contents.infos.push_back(std::move(name));
    }
  }
  return contents;
}

void EmptyTrashFolder(const std::string& path) {
  const OpenFolder trash(path);
  if (!trash.IsOpen()) {
    return;
  }
  const OpenFolder files(trash.Fd(), "files");
  for (const std::string& name : files.Names()) {
    RemoveTreeAt(files.Fd(), name);
  }
  const OpenFolder info(trash.Fd(), "info");
  for (const std::string& name : info.Names()) {
    if (EndsWith(name, kInfoSuffix)) {
      unlinkat(info.Fd(), name.c_str(), 0);
    }
  }
  // The size cache describes items that are gone now.
  const int sizes =
      openat(trash.Fd(), "directorysizes", O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
  if (sizes >= 0) {
    close(sizes);
  }
}

std::string HomeTrashOfCurrentUser() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome != nullptr && dataHome[0] == '/') {
    return Join(dataHome, "Trash");
  }
  const char* home = std::getenv("HOME");
  return Join(Join(home != nullptr ? home : "", ".local/share"), "Trash");
}

}  // namespace

FreedesktopTrash::FreedesktopTrash(std::string homeTrash, std::vector<std::string> topDirs,
                                   uid_t uid)
    : homeTrash_(std::move(homeTrash)), topDirs_(std::move(topDirs)), uid_(uid) {}

FreedesktopTrash FreedesktopTrash::ForCurrentUser() {
  return FreedesktopTrash(HomeTrashOfCurrentUser(), TrashCapableMountPoints(), getuid());
}

std::vector<std::string> FreedesktopTrash::TrashFolders() const {
  std::vector<std::string> folders;
  if (IsRealFolder(homeTrash_, false)) {
    folders.push_back(homeTrash_);
  }
  const std::string uid = std::to_string(uid_);
  for (const std::string& top : topDirs_) {
    const std::string shared = Join(top, ".Trash");
    if (IsRealFolder(shared, true) && IsRealFolder(Join(shared, uid), false)) {
      folders.push_back(Join(shared, uid));
    }
    if (IsRealFolder(Join(top, ".Trash-" + uid), false)) {
      folders.push_back(Join(top, ".Trash-" + uid));
    }
  }
  return folders;
}

size_t FreedesktopTrash::CountItems() const {
  size_t count = 0;
  for (const std::string& folder : TrashFolders()) {
    const OpenFolder trash(folder);
    if (trash.IsOpen()) {
      count += ReadContents(trash).ItemCount();
    }
  }
  return count;
}

void FreedesktopTrash::EmptyAll() const {
  for (const std::string& folder : TrashFolders()) {
    EmptyTrashFolder(folder);
  }
}

void FreedesktopTrash::EmptyWithConfirmation(UserInterface& ui) {
  const size_t count = CountItems();
  if (count == 0) {
    return;
  }
  const std::string question =
      count == 1 ? std::string("Are you sure you want to permanently delete this item?")
                 : "Are you sure you want to permanently delete these " + std::to_string(count) +
                       " items?";
  if (ui.MessageBox(question, MessageStyle::kYesNo | MessageStyle::kQuestion, "Empty Trash") ==
      MessageAnswer::kYes) {
    EmptyAll();
  }
}

}  // namespace hv
