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

// A folder held open, reached from the folder above it and never through a link, so that
// one swapped for a link after it was looked at cannot lead the emptying elsewhere.
class OpenFolder {
 public:
  OpenFolder(const OpenFolder& parent, const std::string& name)
      : fd_(openat(parent.fd_, name.c_str(), kFlags)) {}
  explicit OpenFolder(const std::string& path, bool lastMayBeLink = false)
      : fd_(open(path.c_str(), lastMayBeLink ? kFlags & ~O_NOFOLLOW : kFlags)) {}
  OpenFolder(OpenFolder&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  ~OpenFolder() {
    if (fd_ >= 0) {
      close(fd_);
    }
  }
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;
  OpenFolder& operator=(OpenFolder&&) = delete;

  int Fd() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  bool IsSticky() const {
    struct stat info {};
    return fstat(fd_, &info) == 0 && (info.st_mode & S_ISVTX) != 0;
  }

  std::vector<std::string> Names() const { return FolderEntryNames(fd_); }

 private:
  static constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  int fd_;
};

// A trash folder that may be used, open, with the path it is shown by.
struct TrashFolder {
  std::string path;
  OpenFolder folder;
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
  contents.files = OpenFolder(trash, "files").Names();
  for (std::string& name : OpenFolder(trash, "info").Names()) {
    if (EndsWith(name, kInfoSuffix)) {
      contents.infos.push_back(std::move(name));
    }
  }
  return contents;
}

void EmptyTrashFolder(const OpenFolder& trash) {
  const OpenFolder files(trash, "files");
  for (const std::string& name : files.Names()) {
    RemoveTreeAt(files.Fd(), name);
  }
  const OpenFolder info(trash, "info");
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

// Each level is opened from the one above and checked as opened: a name swapped for a
// link between a look and the use is never followed.
std::vector<TrashFolder> OpenTrashFolders(const std::string& homeTrash,
                                          const std::vector<std::string>& topDirs, uid_t uid) {
  std::vector<TrashFolder> folders;
  if (OpenFolder home(homeTrash); home.IsOpen()) {
    folders.push_back({homeTrash, std::move(home)});
  }
  const std::string user = std::to_string(uid);
  for (const std::string& topPath : topDirs) {
    const OpenFolder top(topPath, true);
    if (!top.IsOpen()) {
      continue;
    }
    if (const OpenFolder shared(top, ".Trash"); shared.IsOpen() && shared.IsSticky()) {
      if (OpenFolder own(shared, user); own.IsOpen()) {
        folders.push_back({Join(Join(topPath, ".Trash"), user), std::move(own)});
      }
    }
    if (OpenFolder own(top, ".Trash-" + user); own.IsOpen()) {
      folders.push_back({Join(topPath, ".Trash-" + user), std::move(own)});
    }
  }
  return folders;
}

}  // namespace

FreedesktopTrash::FreedesktopTrash(std::string homeTrash, std::vector<std::string> topDirs,
                                   uid_t uid)
    : homeTrash_(std::move(homeTrash)), topDirs_(std::move(topDirs)), uid_(uid) {}

FreedesktopTrash FreedesktopTrash::ForCurrentUser() {
  return FreedesktopTrash(HomeTrashOfCurrentUser(), TrashCapableMountPoints(), getuid());
}

std::vector<std::string> FreedesktopTrash::TrashFolders() const {
  std::vector<std::string> paths;
  for (const TrashFolder& trash : OpenTrashFolders(homeTrash_, topDirs_, uid_)) {
    paths.push_back(trash.path);
  }
  return paths;
}

size_t FreedesktopTrash::CountItems() const {
  size_t count = 0;
  for (const TrashFolder& trash : OpenTrashFolders(homeTrash_, topDirs_, uid_)) {
    count += ReadContents(trash.folder).ItemCount();
  }
  return count;
}

void FreedesktopTrash::EmptyAll() const {
  for (const TrashFolder& trash : OpenTrashFolders(homeTrash_, topDirs_, uid_)) {
    EmptyTrashFolder(trash.folder);
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
