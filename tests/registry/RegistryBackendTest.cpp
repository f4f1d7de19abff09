// The calls of the platform's registry backend, on whichever store the build has: the
// registry class relies on the same codes from both.
#include <gtest/gtest.h>

#include "RawRegistryValues.h"
#include "ScratchRegistry.h"

namespace hv {
namespace {

TEST(RegistryBackend, SmallBuffersListEndsAndMissingValuesGiveThePlatformsCodes) {
  test::ScratchRegistry scratch;
  RegistryBackend& hive = scratch.Backend();
  ASSERT_TRUE(test::CreateRawKey(hive, kHkeyCurrentUser, "Sizes\\LongSubkeyName"));
  ASSERT_TRUE(test::WriteRaw(hive, kHkeyCurrentUser, "Sizes", "LongValueName", reg::kBinary,
                             {1, 2, 3, 4, 5}));
  RegKey key = 0;
  ASSERT_EQ(hive.OpenKeyEx(kHkeyCurrentUser, "sizes", reg::kAllSpecificRights, &key),
            reg::kSuccess);

  uint32_t longest = 0;
  EXPECT_EQ(hive.QueryInfoKey(key, &longest), reg::kSuccess);
  EXPECT_EQ(longest, 13u);

  char name[32];
  uint32_t size = 13;  // no room for the NUL
  EXPECT_EQ(hive.EnumValue(key, 0, name, &size), reg::kMoreData);
  size = 14;
  EXPECT_EQ(hive.EnumValue(key, 0, name, &size), reg::kSuccess);
  EXPECT_EQ(size, 13u);
  EXPECT_STREQ(name, "LongValueName");
  EXPECT_EQ(hive.EnumValue(key, 1, name, &size), reg::kNoMoreItems);
  EXPECT_EQ(hive.EnumKey(key, 0, name, 14), reg::kMoreData);
  EXPECT_EQ(hive.EnumKey(key, 0, name, 15), reg::kSuccess);
  EXPECT_STREQ(name, "LongSubkeyName");
  EXPECT_EQ(hive.EnumKey(key, 1, name, 15), reg::kNoMoreItems);

  // A size query without a buffer, a buffer too small, then the whole value; names in
  // any case find the value.
  uint8_t data[8] = {};
  uint32_t type = 0;
  uint32_t dataSize = 0;
  EXPECT_EQ(hive.QueryValueEx(key, "LONGVALUENAME", &type, nullptr, &dataSize), reg::kSuccess);
  EXPECT_EQ(dataSize, 5u);
  dataSize = 2;
  type = 0;
  EXPECT_EQ(hive.QueryValueEx(key, "longvaluename", &type, data, &dataSize), reg::kMoreData);
  EXPECT_EQ(dataSize, 5u);
  EXPECT_EQ(type, reg::kBinary);
  dataSize = sizeof data;
  EXPECT_EQ(hive.QueryValueEx(key, "LongValueName", nullptr, data, &dataSize), reg::kSuccess);
  EXPECT_EQ(dataSize, 5u);
  EXPECT_EQ(data[4], 5);
  EXPECT_EQ(hive.QueryValueEx(key, "Missing", &type, nullptr, &dataSize), reg::kFileNotFound);
  hive.CloseKey(key);
}

}  // namespace
}  // namespace hv
