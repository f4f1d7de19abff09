#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "BrowserFixture.h"
#include "TempFolder.h"
#include "platform/posix/CacheFileKey.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

struct KeyCase {
  const char* name;
  std::function<fs::path(const TempFolder&)> write;
  std::optional<std::string> key;
};

fs::path Truncated(const fs::path& file, size_t keep) {
  const std::string bytes = test::ReadFile(file);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes.substr(0, keep);
  return file;
}

const std::string kFirefoxKey = "a,:https://example.org/style.css";
const std::string kChromiumKey = "1/0/_dk_https://example.org https://example.org/app.js";

class CacheFileKeyTest : public testing::TestWithParam<KeyCase> {};

TEST_P(CacheFileKeyTest, ReadsTheKeyOrNothing) {
  const TempFolder folder;
  const fs::path file = GetParam().write(folder);
  EXPECT_EQ(ReadCacheFileKey(file.string()), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CacheFileKeyTest,
    testing::Values(
        KeyCase{"chromium_simple_cache",
                [](const TempFolder& f) {
                  return test::WriteSimpleCacheFile(f / "0123456789abcdef_0", kChromiumKey);
                },
                kChromiumKey},
        KeyCase{"firefox_version_3",
                [](const TempFolder& f) {
                  return test::WriteFirefoxCacheFile(f / "ABCDEF", kFirefoxKey);
                },
                kFirefoxKey},
        KeyCase{"firefox_version_1_has_a_shorter_header",
                [](const TempFolder& f) {
                  return test::WriteFirefoxCacheFile(f / "ABCDEF", kFirefoxKey, 10, 1);
                },
                kFirefoxKey},
        KeyCase{"firefox_no_data",
                [](const TempFolder& f) {
                  return test::WriteFirefoxCacheFile(f / "ABCDEF", kFirefoxKey, 0);
                },
                kFirefoxKey},
        KeyCase{"firefox_data_of_two_chunks",
                [](const TempFolder& f) {
                  return test::WriteFirefoxCacheFile(f / "ABCDEF", kFirefoxKey, 300 * 1024);
                },
                kFirefoxKey},
        KeyCase{"firefox_unknown_version",
                [](const TempFolder& f) {
                  return test::WriteFirefoxCacheFile(f / "ABCDEF", kFirefoxKey, 10, 99);
                },
                std::nullopt},
        KeyCase{"simple_cache_cut_inside_the_key",
                [](const TempFolder& f) {
                  return Truncated(test::WriteSimpleCacheFile(f / "x_0", kChromiumKey), 30);
                },
                std::nullopt},
        KeyCase{"firefox_cut_before_the_end",
                [](const TempFolder& f) {
                  return Truncated(test::WriteFirefoxCacheFile(f / "ABCDEF", kFirefoxKey), 120);
                },
                std::nullopt},
        KeyCase{"key_without_a_scheme",
                [](const TempFolder& f) {
                  return test::WriteSimpleCacheFile(f / "x_0", "no scheme here");
                },
                std::nullopt},
        KeyCase{"plain_text", [](const TempFolder& f) { return f.Write("index", "hello"); },
                std::nullopt},
        KeyCase{"empty_file", [](const TempFolder& f) { return f.Write("empty", ""); },
                std::nullopt},
        KeyCase{"missing_file", [](const TempFolder& f) { return f / "gone"; }, std::nullopt},
        KeyCase{"folder",
                [](const TempFolder& f) {
                  fs::create_directories(f / "sub");
                  return f / "sub";
                },
                std::nullopt},
        KeyCase{"link_to_a_cache_file",
                [](const TempFolder& f) {
                  test::WriteSimpleCacheFile(f / "real_0", kChromiumKey);
                  fs::create_symlink(f / "real_0", f / "link_0");
                  return f / "link_0";
                },
                std::nullopt}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hv
