#include "platform/posix/FreedesktopTrash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>

#include "platform/posix/MountPoints.h"
#include "platform/posix/NoFollowFolder.h"
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

bool IsSticky(const NoFollowFolder& folder) {
  struct stat info {};
  return folder.Stat(info) && (info.st_mode & S_ISVTX) != 0;
}

// A trash folder that may be used, open, with the path it is shown by and the top folder
// of its file system (empty for the home trash), which its items' paths are relative to.
struct TrashFolder {
  std::string path;
  NoFollowFolder folder;
  std::string top = {};
};

// The items of a trash folder, each once, sorted: an entry of files/ or an info file
// without one.
std::set<std::string> ItemNames(const NoFollowFolder& files, const NoFollowFolder& info) {
  std::set<std::string> items;
  for (std::string& name : files.Names()) {
    items.insert(std::move(name));
  }
  const size_t suffixLength = std::char_traits<char>::length(kInfoSuffix);
  for (const std::string& name : info.Names()) {
    if (EndsWith(name, kInfoSuffix)) {
      items.insert(name.substr(0, name.size() - suffixLength));
    }
  }
  return items;
}

// What name inside dirFd takes up on disk, a folder with everything in it; links are not
// followed and another file system is not entered. A preview passes its report as counter,
// which counts each file once in the whole run: a file counted before adds nothing.
uint64_t AllocatedBytesAt(int dirFd, const std::string& name, dev_t device,
                          ReportSink* counter = nullptr) {
  struct stat info {};
  if (fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || info.st_dev != device) {
    return 0;
  }
  if (counter != nullptr && S_ISREG(info.st_mode) && info.st_nlink == 1 &&
      !counter->FirstCount({info.st_dev, info.st_ino})) {
    return 0;
  }
  uint64_t bytes = static_cast<uint64_t>(info.st_blocks) * 512;
  if (S_ISDIR(info.st_mode)) {
    const NoFollowFolder folder = NoFollowFolder::At(dirFd, name.c_str());
    for (const std::string& child : folder.Names()) {
      bytes += AllocatedBytesAt(folder.Fd(), child, device, counter);
    }
  }
  return bytes;
}

int DecodedHexDigit(char c) {
  return c >= '0' && c <= '9'   ? c - '0'
         : c >= 'a' && c <= 'f' ? c - 'a' + 10
         : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                : -1;
}

// The Path= value of an info file, which escapes bytes as %XX like a URL.
std::string Unescaped(const std::string& escaped) {
  std::string text;
  for (size_t i = 0; i < escaped.size(); ++i) {
    const int high = i + 2 < escaped.size() ? DecodedHexDigit(escaped[i + 1]) : -1;
    const int low = high >= 0 ? DecodedHexDigit(escaped[i + 2]) : -1;
    if (escaped[i] == '%' && low >= 0) {
      text += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      text += escaped[i];
    }
  }
  return text;
}

// The path an item was trashed from, as its info file records it; empty when the file is
// missing or says nothing usable. Read without touching its access time where allowed.
std::string OriginalPath(const NoFollowFolder& info, const std::string& infoName,
                         const std::string& top) {
  constexpr size_t kMostRead = 65536;  // an info file is a few lines
  constexpr int kFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  int fd = openat(info.Fd(), infoName.c_str(), kFlags | O_NOATIME);
  if (fd < 0 && errno == EPERM) {
    fd = openat(info.Fd(), infoName.c_str(), kFlags);  // not ours: O_NOATIME is refused
  }
  if (fd < 0) {
    return {};
  }
  std::string content(kMostRead, '\0');
  const ssize_t got = read(fd, content.data(), content.size());
  close(fd);
  content.resize(got > 0 ? static_cast<size_t>(got) : 0);
  const size_t start = content.find("\nPath=");
  if (start == std::string::npos) {
    return {};
  }
  const size_t from = start + 6;
  const std::string path = Unescaped(content.substr(from, content.find('\n', from) - from));
  return path.empty() || path.front() == '/' || top.empty() ? path : Join(top, path);
}

// Why an item stays, from the error its removal met.
std::string ReasonLeft(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return LeftReason::kPermissionDenied;
    case EXDEV:
      return LeftReason::kOtherFileSystem;
    default:
      return std::strerror(error);
  }
}

// Removes (or, in a preview, only reports) each item of one trash folder; false when the
// report asked to stop.
bool EmptyTrashFolder(const TrashFolder& trash, ReportSink& report, bool preview) {
  const NoFollowFolder files = trash.folder.Open("files");
  const NoFollowFolder info = trash.folder.Open("info");
  struct stat trashInfo {};
  fstat(trash.folder.Fd(), &trashInfo);
  // One order for the preview and the run alike.
  const std::set<std::string> items = ItemNames(files, info);
  ReportSink* counter = preview ? &report : nullptr;
  for (const std::string& item : items) {
    if (report.StopRequested()) {
      return false;
    }
    const std::string infoName = item + kInfoSuffix;
    const std::string original = OriginalPath(info, infoName, trash.top);
    ReportEntry entry{.type = EntryType::kTrashItem,
                      .what = original.empty() ? Join(Join(trash.path, "files"), item) : original,
                      .bytes = AllocatedBytesAt(files.Fd(), item, trashInfo.st_dev, counter) +
                               AllocatedBytesAt(info.Fd(), infoName, trashInfo.st_dev, counter),
                      .outcome = EntryOutcome::kWouldBeRemoved,
                      .reason = {}};
    if (!preview) {
      errno = 0;
      const bool removed = RemoveTreeAt(files.Fd(), item) &&
                           (unlinkat(info.Fd(), infoName.c_str(), 0) == 0 || errno == ENOENT);
      entry.outcome = removed ? EntryOutcome::kRemoved : EntryOutcome::kLeft;
      entry.reason = removed ? "" : ReasonLeft(errno);
    }
    report.Add(entry);
  }
  if (!preview) {
    // The size cache describes items that are gone now.
    const int sizes =
        openat(trash.folder.Fd(), "directorysizes", O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
    if (sizes >= 0) {
      close(sizes);
    }
  }
  return true;
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
  if (NoFollowFolder home = NoFollowFolder::OpenLast(homeTrash); home.IsOpen()) {
    folders.push_back({homeTrash, std::move(home)});
  }
  const std::string user = std::to_string(uid);
  for (const std::string& topPath : topDirs) {
    const NoFollowFolder top = NoFollowFolder::OpenBase(topPath);
    if (!top.IsOpen()) {
      continue;
    }
    if (const NoFollowFolder shared = top.Open(".Trash"); shared.IsOpen() && IsSticky(shared)) {
      if (NoFollowFolder own = shared.Open(user.c_str()); own.IsOpen()) {
        folders.push_back({Join(Join(topPath, ".Trash"), user), std::move(own), topPath});
      }
    }
    if (NoFollowFolder own = top.Open((".Trash-" + user).c_str()); own.IsOpen()) {
      folders.push_back({Join(topPath, ".Trash-" + user), std::move(own), topPath});
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
    count += ItemNames(trash.folder.Open("files"), trash.folder.Open("info")).size();
  }
  return count;
}

void FreedesktopTrash::EmptyAll(ReportSink& report, bool preview) const {
  for (const TrashFolder& trash : OpenTrashFolders(homeTrash_, topDirs_, uid_)) {
    if (!EmptyTrashFolder(trash, report, preview)) {
      return;
    }
  }
}

void FreedesktopTrash::EmptyWithConfirmation(UserInterface& ui, ReportSink& report, bool preview) {
  if (preview) {
    EmptyAll(report, true);
    return;
  }
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
    EmptyAll(report);
  }
}

}  // namespace hv
