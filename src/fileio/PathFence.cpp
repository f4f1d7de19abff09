#include "fileio/PathFence.h"

#include <algorithm>
#include <filesystem>

#include "platform/FileSystem.h"
#include "util/NamePattern.h"

namespace hv {
namespace {

namespace fs = std::filesystem;

// The place as the walks see it: links and "." or ".." resolved, no closing separator.
std::string Resolved(const std::string& path) {
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(path, error);
  if (error) {
    resolved = fs::path(path).lexically_normal();
  }
  std::string text = resolved.string();
  while (text.size() > 1 && text.back() == kPathSeparator) {
    text.pop_back();
  }
  return text;
}

// The component of path just below folder; empty when path does not lie below it.
std::string_view ComponentBelow(std::string_view path, std::string_view folder) {
  if (!path.starts_with(folder)) {
    return {};
  }
  size_t start = folder.size();
  if (!folder.ends_with(kPathSeparator)) {  // only a root folder ends with one
    if (path.size() <= start || path[start] != kPathSeparator) {
      return {};
    }
    ++start;
  }
  const std::string_view rest = path.substr(std::min(start, path.size()));
  return rest.substr(0, rest.find(kPathSeparator));
}

}  // namespace

void PathFence::Add(const std::string& path, const std::string& reason) {
  if (path.empty()) {
    return;
  }
  const fs::path resolved = Resolved(path);
  if (!resolved.has_parent_path() || resolved.filename().empty()) {
    return;  // the root: fencing it would stop every deletion, which no list means
  }
  places_.push_back({resolved.parent_path().string(), resolved.filename().string(), false, reason});
}

void PathFence::AddMatching(const std::string& folder, const std::string& pattern,
                            const std::string& reason) {
  if (!folder.empty()) {
    places_.push_back({Resolved(folder), pattern, true, reason});
  }
}

void PathFence::AddFileName(const std::string& name, const std::string& reason) {
  fileNames_.push_back({name, reason});
}

const std::string* PathFence::ReasonFor(std::string_view path) const {
  for (const Place& place : places_) {
    const std::string_view component = ComponentBelow(path, place.folder);
    if (!component.empty() &&
        (place.pattern ? MatchesPattern(component, place.name) : component == place.name)) {
      return &place.reason;
    }
  }
  return nullptr;
}

const std::string* PathFence::ReasonForFileName(std::string_view name) const {
  for (const FileName& fileName : fileNames_) {
    if (fileName.name == name) {
      return &fileName.reason;
    }
  }
  return nullptr;
}

}  // namespace hv
