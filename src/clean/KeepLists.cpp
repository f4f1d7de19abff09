#include "clean/KeepLists.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>

#include "clean/ExpandPath.h"
#include "clean/ReportSink.h"
#include "fileio/PathFence.h"
#include "platform/FileSystem.h"
#include "registry/cRegistry.h"

namespace hv {
namespace {

// The files in which Firefox and the Chromium family keep their cookies, with the journals
// that hold the latest of them.
constexpr const char* kCookieDatabases[] = {
    "cookies.sqlite", "cookies.sqlite-wal", "cookies.sqlite-journal", "cookies.sqlite-shm",
    "Cookies",        "Cookies-journal"};

cRegistry ListRegistry(const std::string& key) {
  cRegistry registry;
  registry.ClassKey(kHkeyCurrentUser);
  registry.SectionKey(key);
  return registry;
}

std::vector<std::string> ReadList(const std::string& key) {
  cRegistry registry = ListRegistry(key);
  std::vector<std::string> names;
  int32_t count = 0;
  std::vector<std::string> entries;
  if (!registry.EnumerateValues(names, count)) {
    return entries;
  }
  for (const std::string& name : names) {
    registry.ValueKey(name);
    const Variant value = registry.Value();
    if (const std::string* text = std::get_if<std::string>(&value); text && !text->empty()) {
      entries.push_back(*text);
    }
  }
  return entries;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::ranges::transform(lower, lower.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && blank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && blank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace

std::optional<std::string> KeptSiteEntry(std::string_view typed) {
  std::string_view host = Trimmed(typed);
  if (const size_t scheme = host.find("://"); scheme != std::string_view::npos) {
    host.remove_prefix(scheme + 3);
  }
  host = host.substr(0, host.find_first_of("/:?#"));
  while (host.starts_with('.')) {
    host.remove_prefix(1);
  }
  const bool isHost = !host.empty() && std::ranges::all_of(host, [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '-' ||
           static_cast<unsigned char>(c) >= 0x80;  // an international name as typed
  });
  return isHost ? std::optional(Lower(host)) : std::nullopt;
}

std::optional<std::string> KeptPathEntry(std::string_view typed) {
  std::string path(Trimmed(typed));
  while (path.size() > 1 && path.back() == kPathSeparator) {
    path.pop_back();
  }
  if (path.empty() || !std::filesystem::path(ExpandPath(path)).is_absolute()) {
    return std::nullopt;
  }
  return path;
}

KeepLists ReadKeepLists() {
  return {ReadList(kKeepCookiesKey), ReadList(kKeepPathsKey)};
}

void WriteKeepList(const std::string& key, const std::vector<std::string>& entries) {
  cRegistry registry = ListRegistry(key);
  registry.CreateKey();
  std::vector<std::string> names;
  int32_t count = 0;
  registry.EnumerateValues(names, count);
  for (const std::string& name : names) {
    registry.ValueKey(name);
    registry.DeleteValue();
  }
  // Numbered names: value names ignore case, and two kept paths may differ only in it.
  registry.ValueType(static_cast<int32_t>(reg::kSz));
  for (size_t index = 0; index < entries.size(); ++index) {
    registry.ValueKey(std::to_string(index + 1));
    registry.Value(Variant(entries[index]));
  }
}

bool IsKeptSite(std::string_view host, const std::vector<std::string>& sites) {
  if (host.starts_with('.')) {
    host.remove_prefix(1);
  }
  const std::string lowerHost = Lower(host);
  return std::ranges::any_of(sites, [&lowerHost](const std::string& site) {
    std::string kept = Lower(site);
    if (kept.starts_with('.')) {
      kept.erase(0, 1);
    }
    return !kept.empty() &&
           (lowerHost == kept ||
            (lowerHost.ends_with(kept) && lowerHost[lowerHost.size() - kept.size() - 1] == '.'));
  });
}

void FenceKeptPlaces(const KeepLists& keep, PathFence& fence) {
  for (const std::string& path : keep.paths) {
    // Placeholders such as %Cache% name the user's folders; a relative path names nothing.
    if (const std::string expanded = ExpandPath(path);
        std::filesystem::path(expanded).is_absolute()) {
      fence.Add(expanded, LeftReason::kKept);
    }
  }
  if (!keep.cookieSites.empty()) {
    for (const char* name : kCookieDatabases) {
      fence.AddFileName(name, LeftReason::kKeptCookies);
    }
  }
}

}  // namespace hv
