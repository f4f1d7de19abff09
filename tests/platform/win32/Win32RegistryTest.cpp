// The registry class and its backend on the system's own registry. The test sandbox has
// redirected HKEY_CURRENT_USER to a scratch key, so nothing here reaches the user's own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/Win32Registry.h"
#include "platform/win32/WindowsApi.h"
#include "registry/cRegistry.h"

namespace hv {
namespace {

constexpr const char* kKey = "Software\\Hushvault\\PlatformTest";

class Win32RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(backend.CreateKeyEx(kHkeyCurrentUser, kKey, reg::kAllSpecificRights, &key),
              reg::kSuccess);
  }
  void TearDown() override {
    backend.CloseKey(key);
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  }

  cRegistry Registry() {
    cRegistry registry(backend);
    registry.ClassKey(kHkeyCurrentUser);
    registry.SectionKey(kKey);
    return registry;
  }

  std::vector<std::string> ValueNames() {
    std::vector<std::string> names;
    int32_t count = 0;
    EXPECT_TRUE(Registry().EnumerateValues(names, count));
    names.resize(count);
    return names;
  }

  Win32Registry backend;
  RegKey key = 0;
};

// What the registry class writes is what the system stores and gives back, type and bytes.
TEST_F(Win32RegistryTest, ValuesRoundTripWithTheirTypes) {
  struct Case {
    const char* name;
    int32_t type;
    Variant written;
    std::vector<uint8_t> stored;
    Variant read;
  };
  const std::vector<Case> cases = {
      {"Text",
       reg::kSz,
       std::string("C:\\Temp"),
       {'C', ':', '\\', 'T', 'e', 'm', 'p', 0},
       std::string("C:\\Temp")},
      {"Empty", reg::kSz, std::string(), {0}, std::string()},
      {"Number", reg::kDword, int32_t{0x01020304}, {4, 3, 2, 1}, int32_t{0x01020304}},
      {"Negative", reg::kDword, int32_t{-1}, {0xFF, 0xFF, 0xFF, 0xFF}, int32_t{-1}},
      // A binary value reads back with one trailing zero element, as the class defines.
      {"Bytes", reg::kBinary, ByteArray{0, 1, 0, 255}, {0, 1, 0, 255}, ByteArray{0, 1, 0, 255, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cRegistry registry = Registry();
    registry.ValueKey(c.name);
    registry.ValueType(c.type);
    registry.Value(c.written);

    DWORD type = 0;
    std::vector<uint8_t> data(64);
    DWORD size = static_cast<DWORD>(data.size());
    ASSERT_EQ(
        RegQueryValueExA(reinterpret_cast<HKEY>(key), c.name, nullptr, &type, data.data(), &size),
        ERROR_SUCCESS);
    data.resize(size);
    EXPECT_EQ(static_cast<int32_t>(type), c.type);
    EXPECT_EQ(data, c.stored);

    cRegistry reader = Registry();
    reader.ValueKey(c.name);
    EXPECT_EQ(reader.Value(), c.read);
    EXPECT_EQ(reader.ValueType(), c.type);
  }
}

// A value too big for the caller's buffer reports the size it needs, and a size query
// without a buffer reports type and size alone.
TEST_F(Win32RegistryTest, SizeQueryThenFetch) {
  const std::string text(300, 'x');
  ASSERT_EQ(
      backend.SetValueEx(key, "Long", reg::kSz, reinterpret_cast<const uint8_t*>(text.c_str()),
                         static_cast<uint32_t>(text.size() + 1)),
      reg::kSuccess);
  uint32_t type = 0;
  uint32_t size = 0;
  ASSERT_EQ(backend.QueryValueEx(key, "Long", &type, nullptr, &size), reg::kSuccess);
  EXPECT_EQ(type, reg::kSz);
  EXPECT_EQ(size, text.size() + 1);

  std::vector<uint8_t> small(10);
  uint32_t smallSize = static_cast<uint32_t>(small.size());
  EXPECT_EQ(backend.QueryValueEx(key, "Long", nullptr, small.data(), &smallSize), reg::kMoreData);
  EXPECT_EQ(smallSize, text.size() + 1);

  std::vector<uint8_t> whole(size);
  ASSERT_EQ(backend.QueryValueEx(key, "Long", nullptr, whole.data(), &size), reg::kSuccess);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(whole.data())), text);

  EXPECT_EQ(backend.QueryValueEx(key, "Missing", &type, nullptr, &size), reg::kFileNotFound);
}

// Every value and subkey is enumerated once, names keep their letter case, and the ends
// of the lists and too-small name buffers give the system's codes.
TEST_F(Win32RegistryTest, EnumerationOfValuesAndSubkeys) {
  const std::vector<std::string> names = {"First", "second", "THIRD"};
  for (const std::string& name : names) {
    const uint8_t one[4] = {1, 0, 0, 0};
    ASSERT_EQ(backend.SetValueEx(key, name.c_str(), reg::kDword, one, 4), reg::kSuccess);
    RegKey child = 0;
    ASSERT_EQ(backend.CreateKeyEx(key, (name + "Key").c_str(), reg::kAllSpecificRights, &child),
              reg::kSuccess);
    backend.CloseKey(child);
  }

  std::vector<std::string> found = ValueNames();
  std::sort(found.begin(), found.end());
  std::vector<std::string> expected = names;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);

  std::vector<std::string> sections;
  int32_t sectionCount = 0;
  ASSERT_TRUE(Registry().EnumerateSections(sections, sectionCount));
  ASSERT_EQ(sectionCount, 3);
  std::vector<std::string> foundKeys(sections.begin() + 1, sections.begin() + 1 + sectionCount);
  std::sort(foundKeys.begin(), foundKeys.end());
  EXPECT_EQ(foundKeys, (std::vector<std::string>{"FirstKey", "THIRDKey", "secondKey"}));

  uint32_t longest = 0;
  ASSERT_EQ(backend.QueryInfoKey(key, &longest), reg::kSuccess);
  EXPECT_EQ(longest, 6u);

  char name[16];
  uint32_t nameSize = sizeof name;
  EXPECT_EQ(backend.EnumValue(key, 3, name, &nameSize), reg::kNoMoreItems);
  char tiny[3];
  uint32_t tinySize = sizeof tiny;
  EXPECT_EQ(backend.EnumValue(key, 0, tiny, &tinySize), reg::kMoreData);
  EXPECT_EQ(backend.EnumKey(key, 3, name, sizeof name), reg::kNoMoreItems);
}

// The system refuses to delete a key that has subkeys; the registry class removes the
// immediate subkeys first, but a grandchild keeps its parent and so the key.
TEST_F(Win32RegistryTest, DeleteKeyWithSubkeys) {
  const std::string child = std::string(kKey) + "\\Child";
  const std::string grandchild = child + "\\Grandchild";
  RegKey created = 0;
  ASSERT_EQ(
      backend.CreateKeyEx(kHkeyCurrentUser, grandchild.c_str(), reg::kAllSpecificRights, &created),
      reg::kSuccess);
  backend.CloseKey(created);
  backend.CloseKey(key);
  key = 0;

  EXPECT_NE(backend.DeleteKey(kHkeyCurrentUser, child.c_str()), reg::kSuccess);
  EXPECT_FALSE(Registry().DeleteKey());
  EXPECT_TRUE(Registry().KeyExists());

  ASSERT_EQ(backend.DeleteKey(kHkeyCurrentUser, grandchild.c_str()), reg::kSuccess);
  EXPECT_TRUE(Registry().DeleteKey());
  EXPECT_FALSE(Registry().KeyExists());
  ASSERT_EQ(backend.CreateKeyEx(kHkeyCurrentUser, kKey, reg::kAllSpecificRights, &key),
            reg::kSuccess);
}

// Value names compare without regard to case on the system, while the clean item's
// pattern stays case-sensitive.
TEST_F(Win32RegistryTest, ValueNamesIgnoreCaseAndDeleteOneAtATime) {
  const uint8_t one[4] = {1, 0, 0, 0};
  ASSERT_EQ(backend.SetValueEx(key, "MixedCase", reg::kDword, one, 4), reg::kSuccess);
  cRegistry registry = Registry();
  registry.ValueKey("mixedcase");
  EXPECT_EQ(registry.Value(), Variant(int32_t{1}));
  EXPECT_TRUE(registry.DeleteValue());
  EXPECT_TRUE(ValueNames().empty());
}

}  // namespace
}  // namespace hv
