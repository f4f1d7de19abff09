#include "platform/posix/browser/ProfileLock.h"

#include <fcntl.h>
#include <netdb.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <optional>
#include <string_view>

#include "platform/posix/browser/BrowserInstalls.h"

namespace hv {
namespace {

std::optional<std::string> LinkTarget(const std::string& path) {
  std::array<char, PATH_MAX> target{};
  const ssize_t length = readlink(path.c_str(), target.data(), target.size());
  if (length <= 0 || static_cast<size_t>(length) >= target.size()) {
    return std::nullopt;
  }
  return std::string(target.data(), static_cast<size_t>(length));
}

std::string HostName() {
  std::array<char, 256> name{};
  if (gethostname(name.data(), name.size() - 1) != 0) {
    return {};
  }
  return name.data();
}

// A process of that id exists, whoever owns it.
bool ProcessAlive(std::string_view pidText) {
  pid_t pid = 0;
  const auto [end, error] = std::from_chars(pidText.data(), pidText.data() + pidText.size(), pid);
  if (error != std::errc() || end != pidText.data() + pidText.size() || pid <= 0) {
    return false;
  }
  return kill(pid, 0) == 0 || errno == EPERM;
}

// Firefox writes the address its host name resolves to where other browsers write the name.
bool IsThisMachine(const std::string& host) {
  const std::string name = HostName();
  if (host.empty() || name.empty()) {
    return false;
  }
  if (host == name) {
    return true;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) {
    return false;
  }
  bool same = false;
  for (const addrinfo* address = found; address != nullptr && !same; address = address->ai_next) {
    std::array<char, NI_MAXHOST> text{};
    same = getnameinfo(address->ai_addr, address->ai_addrlen, text.data(), text.size(), nullptr, 0,
                       NI_NUMERICHOST) == 0 &&
           host == text.data();
  }
  freeaddrinfo(found);
  return same;
}

// The link's target split at the last separator into a host and a process id, both alive
// here.
bool LinkNamesLiveProcess(const std::string& link, std::string_view separator) {
  const std::optional<std::string> target = LinkTarget(link);
  if (!target) {
    return false;
  }
  const size_t split = target->rfind(separator);
  if (split == std::string::npos) {
    return false;
  }
  return IsThisMachine(target->substr(0, split)) &&
         ProcessAlive(std::string_view(*target).substr(split + separator.size()));
}

// Another process holds a lock on the file; the file is opened without following a link,
// waiting on a pipe or taking a lock of this process's own.
bool LockedByAnotherProcess(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    return false;
  }
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  const bool locked = fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
  close(fd);
  return locked;
}

}  // namespace

bool FirefoxProfileInUse(const std::string& folder) {
  return LockedByAnotherProcess(folder + "/.parentlock") ||
         LinkNamesLiveProcess(folder + "/lock", ":+");
}

bool ChromiumUserDataInUse(const std::string& folder) {
  return LinkNamesLiveProcess(folder + "/SingletonLock", "-");
}

std::vector<RunningBrowser> FindRunningBrowsers(const BrowserFolders& folders) {
  std::vector<RunningBrowser> running;
  for (const BrowserProfile& profile : FindBrowserProfiles(folders).profiles) {
    // A Chromium-family browser locks the folder that holds all its profiles.
    const std::string folder = profile.folder.substr(0, profile.folder.size() - 1);
    const bool inUse = profile.family == BrowserFamily::kFirefox
                           ? FirefoxProfileInUse(folder)
                           : ChromiumUserDataInUse(folder.substr(0, folder.rfind('/')));
    if (inUse) {
      running.push_back({profile.browser, {profile.folder, profile.cacheFolder}});
      if (running.back().folders.back().empty()) {
        running.back().folders.pop_back();
      }
    }
  }
  return running;
}

}  // namespace hv
