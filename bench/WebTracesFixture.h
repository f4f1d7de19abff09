#pragma once

#include <filesystem>

#include "platform/posix/browser/BrowserFolders.h"

namespace bench {

// The traces of each kind in the fixture.
inline constexpr int kTraceCount = 10000;

// A home with one Firefox profile holding kTraceCount cookies and visited pages, in WAL
// mode as the browser keeps them, and kTraceCount cache files.
struct WebTraces {
  std::filesystem::path home;
  std::filesystem::path profile;
  std::filesystem::path entries;

  hv::BrowserFolders Folders() const {
    return {home.string(), (home / ".config").string(), (home / ".cache").string()};
  }
};

// Builds the fixture below root, replacing whatever was there.
WebTraces BuildWebTraces(const std::filesystem::path& root);

}  // namespace bench
