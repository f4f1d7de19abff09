#include "platform/posix/ShellFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>

namespace hv {
namespace {

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  return path;
}

std::optional<std::string> HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') {
    return WithoutTrailingSlashes(home);
  }
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir[0] == '/') {
    return WithoutTrailingSlashes(entry->pw_dir);
  }
  return std::nullopt;
}

// An XDG base directory: the variable when it holds an absolute path, else the default
// below home (relative values are invalid and ignored).
std::optional<std::string> BaseDirectory(const char* variable,
                                         const std::optional<std::string>& home,
                                         const char* fallback) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') {
    return WithoutTrailingSlashes(value);
  }
  if (!home) {
    return std::nullopt;
  }
  return *home + fallback;
}

// One value of user-dirs.dirs: "$HOME/Path" or "/Path", shell-quoted.
std::optional<std::string> UserDirValue(std::string_view quoted,
                                        const std::optional<std::string>& home) {
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') {
    return std::nullopt;
  }
  std::string value;
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    if (quoted[i] == '\\' && i + 2 < quoted.size()) {
      ++i;
    }
    value += quoted[i];
  }
  constexpr std::string_view kHome = "$HOME";
  if (value.starts_with(kHome) && (value.size() == kHome.size() || value[kHome.size()] == '/')) {
    if (!home) {
      return std::nullopt;
    }
    value.replace(0, kHome.size(), *home);
  }
  if (value.empty() || value[0] != '/') {
    return std::nullopt;
  }
  return WithoutTrailingSlashes(value);
}

// XDG_<NAME>_DIR entries of user-dirs.dirs by NAME; a missing or unreadable file is empty.
std::map<std::string, std::string> UserDirs(const std::string& configHome,
                                            const std::optional<std::string>& home) {
  std::map<std::string, std::string> dirs;
  std::ifstream file(configHome + "/user-dirs.dirs");
  std::string line;
  while (std::getline(file, line)) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') {
      continue;
    }
    const size_t equals = line.find('=', start);
    if (equals == std::string::npos) {
      continue;
    }
    const std::string_view key = std::string_view(line).substr(start, equals - start);
    if (!key.starts_with("XDG_") || !key.ends_with("_DIR") || key.size() <= 8) {
      continue;
    }
    const size_t last = line.find_last_not_of(" \t\r");
    if (auto value = UserDirValue(std::string_view(line).substr(equals + 1, last - equals), home)) {
      dirs[std::string(key.substr(4, key.size() - 8))] = *value;
    }
  }
  return dirs;
}

}  // namespace

std::vector<ShellFolder> CurrentShellFolders() {
  const std::optional<std::string> home = HomeFolder();
  std::vector<ShellFolder> folders;
  const auto config = BaseDirectory("XDG_CONFIG_HOME", home, "/.config");
  const auto data = BaseDirectory("XDG_DATA_HOME", home, "/.local/share");
  const auto cache = BaseDirectory("XDG_CACHE_HOME", home, "/.cache");
  const auto state = BaseDirectory("XDG_STATE_HOME", home, "/.local/state");
  const auto add = [&](const char* name, const std::optional<std::string>& path) {
    if (path && path != home) {
      folders.push_back({name, *path});
    }
  };
  add("AppData", config);
  add("Local AppData", data);
  add("Cache", cache);
  add("State", state);  // histories of shells and tools

  const auto dirs = config ? UserDirs(*config, home) : std::map<std::string, std::string>();
  const auto userDir = [&](const char* key) -> std::optional<std::string> {
    const auto found = dirs.find(key);
    return found == dirs.end() ? std::nullopt : std::optional<std::string>(found->second);
  };
  const auto desktop = userDir("DESKTOP");
  add("Desktop", desktop ? desktop
                 : home  ? std::optional<std::string>(*home + "/Desktop")
                         : std::nullopt);
  add("Personal", userDir("DOCUMENTS"));
  add("My Music", userDir("MUSIC"));
  add("My Pictures", userDir("PICTURES"));
  add("My Video", userDir("VIDEOS"));
  add("Templates", userDir("TEMPLATES"));
  return folders;
}

}  // namespace hv
