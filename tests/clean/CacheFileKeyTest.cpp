#include "platform/posix/browser/CacheFileKey.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "BrowserFixture.h"
#include "TempFolder.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::FirefoxCacheBytes;
using test::SimpleCacheBytes;

const std::string kFirefoxKey = "a,:https://example.org/style.css";
const std::string kChromiumKey = "1/0/_dk_https://example.org https://example.org/app.js";

// A file cut short, of an unknown version or empty has no key, and reading it stays within
// the file.
TEST(CacheFileKeyTest, ReadsTheKeyOrNothing) {
  const struct {
    const char* name;
    std::string bytes;
    std::optional<std::string> key;
  } cases[] = {
      {"chromium_simple_cache", SimpleCacheBytes(kChromiumKey), kChromiumKey},
      {"firefox_version_3", FirefoxCacheBytes(kFirefoxKey), kFirefoxKey},
      {"firefox_unknown_version", FirefoxCacheBytes(kFirefoxKey, 10, 99), std::nullopt},
      {"simple_cache_cut_in_key", SimpleCacheBytes(kChromiumKey).substr(0, 30), std::nullopt},
      {"firefox_cut_before_end", FirefoxCacheBytes(kFirefoxKey).substr(0, 120), std::nullopt},
      {"empty_file", "", std::nullopt},
  };
  const test::TempFolder folder;
  for (const auto& c : cases) {
    EXPECT_EQ(ReadCacheFileKey(folder.Write(c.name, c.bytes).string()), c.key) << c.name;
  }
}

TEST(CacheFileKeyTest, WhatIsNotAnOrdinaryFileHasNoKey) {
  const test::TempFolder folder;
  folder.Write("real_0", SimpleCacheBytes(kChromiumKey));
  fs::create_symlink(folder / "real_0", folder / "link_0");
  fs::create_directories(folder / "sub");
  for (const char* name : {"gone", "sub", "link_0"}) {
    EXPECT_EQ(ReadCacheFileKey((folder / name).string()), std::nullopt) << name;
  }
}

}  // namespace
}  // namespace hv
