#include "platform/posix/CacheFileKey.h"

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

struct KeyCase {
  const char* name;
  std::string bytes;
  std::optional<std::string> key;
};

class CacheFileKeyTest : public testing::TestWithParam<KeyCase> {};

TEST_P(CacheFileKeyTest, ReadsTheKeyOrNothing) {
  const test::TempFolder folder;
  EXPECT_EQ(ReadCacheFileKey(folder.Write("entry", GetParam().bytes).string()), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CacheFileKeyTest,
    testing::Values(KeyCase{"chromium_simple_cache", SimpleCacheBytes(kChromiumKey), kChromiumKey},
                    KeyCase{"firefox_version_3", FirefoxCacheBytes(kFirefoxKey), kFirefoxKey},
                    KeyCase{"firefox_unknown_version", FirefoxCacheBytes(kFirefoxKey, 10, 99),
                            std::nullopt},
                    KeyCase{"simple_cache_cut_in_key", SimpleCacheBytes(kChromiumKey).substr(0, 30),
                            std::nullopt},
                    KeyCase{"firefox_cut_before_end", FirefoxCacheBytes(kFirefoxKey).substr(0, 120),
                            std::nullopt},
                    KeyCase{"empty_file", "", std::nullopt}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

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
