#include "platform/posix/browser/FirefoxProfilesIni.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "platform/posix/RegularFile.h"

namespace hv {
namespace {

namespace fs = std::filesystem;

// A profiles file is a few hundred bytes; anything far larger is not one.
constexpr size_t kMostRead = 1 << 20;

std::string ReadSmallFile(const std::string& path) {
  struct stat info {};
  const int fd = OpenRegularForReading(AT_FDCWD, path.c_str(), info);
  if (fd < 0) {
    return {};
  }
  std::string content;
  char buffer[4096];
  ssize_t got = 0;
  while (content.size() < kMostRead && (got = read(fd, buffer, sizeof buffer)) > 0) {
    content.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return content;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

struct Section {
  std::string path;
  bool relative = true;
};

void AddSection(const std::string& root, const Section& section, std::vector<std::string>& paths) {
  if (section.path.empty()) {
    return;
  }
  const fs::path path(section.path);
  if (!section.relative) {
    if (path.is_absolute()) {
      paths.push_back(path.lexically_normal().string());
    }
    return;
  }
  for (const fs::path& part : path) {
    if (part == "..") {
      return;
    }
  }
  if (!path.is_absolute()) {
    paths.push_back((fs::path(root) / path).lexically_normal().string());
  }
}

}  // namespace

std::vector<std::string> ProfilesListedIn(const std::string& root) {
  std::istringstream lines(ReadSmallFile((fs::path(root) / "profiles.ini").string()));
  std::vector<std::string> paths;
  bool inProfile = false;
  Section section;
  for (std::string line; std::getline(lines, line);) {
    line = Trimmed(line);
    if (line.starts_with('[')) {
      if (inProfile) {
        AddSection(root, section, paths);
      }
      inProfile = line.starts_with("[Profile");
      section = {};
    } else if (inProfile && line.starts_with("Path=")) {
      section.path = line.substr(5);
    } else if (inProfile && line.starts_with("IsRelative=")) {
      section.relative = line.substr(11) != "0";
    }
  }
  if (inProfile) {
    AddSection(root, section, paths);
  }
  return paths;
}

}  // namespace hv
