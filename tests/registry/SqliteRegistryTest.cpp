#include "platform/posix/SqliteRegistry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <tuple>
#include <vector>

#include "RawRegistryValues.h"
#include "TempFolder.h"
#include "platform/posix/RegistryHive.h"
#include "registry/cRegistry.h"

namespace hv {
namespace {

using test::Bytes;
using test::CreateRawKey;
using test::RawValue;
using test::ReadRaw;
using test::WriteRaw;

class SqliteRegistryTest : public testing::Test {
 protected:
  SqliteRegistryTest() : hive(OpenRegistryHive((folder / "hive.db").string()).backend) {}

  RegKey Open(const std::string& key, uint32_t access = reg::kAllSpecificRights) {
    RegKey handle = 0;
    EXPECT_EQ(hive->OpenKeyEx(kHkeyCurrentUser, key.c_str(), access, &handle), reg::kSuccess)
        << key;
    return handle;
  }

  // The subkey or value names of key, in the order the hive lists them.
  std::vector<std::string> Names(const std::string& key, bool subkeys) {
    const RegKey handle = Open(key);
    std::vector<std::string> names;
    char name[256];
    for (uint32_t i = 0, size = sizeof name;
         (subkeys ? hive->EnumKey(handle, i, name, size)
                  : hive->EnumValue(handle, i, name, &size)) == reg::kSuccess;
         ++i, size = sizeof name) {
      names.emplace_back(name);
    }
    hive->CloseKey(handle);
    return names;
  }
  std::vector<std::string> SubkeyNames(const std::string& key) { return Names(key, true); }
  std::vector<std::string> ValueNames(const std::string& key) { return Names(key, false); }

  test::TempFolder folder;
  std::unique_ptr<RegistryBackend> hive;
};

TEST_F(SqliteRegistryTest, NamesListInCreationOrderMatchInAnyCaseAndKeepTheirFirstSpelling) {
  for (const char* name : {"c", "A", "b"}) {
    ASSERT_TRUE(CreateRawKey(*hive, kHkeyCurrentUser, std::string("Order\\") + name));
    ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Order", name, reg::kSz, Bytes("x")));
  }
  RegKey order = Open("ORDER");
  ASSERT_EQ(hive->DeleteKey(order, "C"), reg::kSuccess);
  ASSERT_EQ(hive->DeleteValue(order, "C"), reg::kSuccess);
  hive->CloseKey(order);
  ASSERT_TRUE(CreateRawKey(*hive, kHkeyCurrentUser, "order\\c"));
  ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Order", "c", reg::kSz, Bytes("x")));
  // Rewriting a value, in any case, keeps its place and its first spelling.
  ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "oRDER", "a", reg::kBinary, Bytes("y")));
  ASSERT_TRUE(CreateRawKey(*hive, kHkeyCurrentUser, "ORDER\\B\\Child"));

  EXPECT_EQ(SubkeyNames(""), (std::vector<std::string>{"Order"}));
  EXPECT_EQ(SubkeyNames("Order"), (std::vector<std::string>{"A", "b", "c"}));
  EXPECT_EQ(ValueNames("Order"), (std::vector<std::string>{"A", "b", "c"}));
  EXPECT_EQ(ReadRaw(*hive, kHkeyCurrentUser, "order", "A"), (RawValue{reg::kBinary, Bytes("y")}));
}

TEST_F(SqliteRegistryTest, DeletesRefuseKeysWithSubkeysAndRootsAndKeepTheRootsApart) {
  ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Parent\\Child", "v", reg::kSz, Bytes("x")));
  ASSERT_TRUE(CreateRawKey(*hive, kHkeyClassesRoot, ".txt"));
  const std::tuple<RegKey, const char*, long> steps[] = {
      {kHkeyCurrentUser, "Parent", reg::kAccessDenied},
      {kHkeyCurrentUser, "Parent\\Child", reg::kSuccess},
      {kHkeyCurrentUser, "Parent\\Child", reg::kFileNotFound},
      {kHkeyCurrentUser, "Parent", reg::kSuccess},
      {kHkeyCurrentUser, "", reg::kAccessDenied},
      {kHkeyClassesRoot, "\\", reg::kAccessDenied},
      {kHkeyCurrentUser, ".txt", reg::kFileNotFound},
      {kHkeyClassesRoot, ".TXT", reg::kSuccess},
  };
  for (const auto& [root, key, expected] : steps) {
    EXPECT_EQ(hive->DeleteKey(root, key), expected) << key;
  }
  // A key made again under the old name starts without the old values.
  ASSERT_TRUE(CreateRawKey(*hive, kHkeyCurrentUser, "Parent\\Child"));
  EXPECT_TRUE(ValueNames("Parent\\Child").empty());
}

TEST_F(SqliteRegistryTest, EveryCallRefusesAHandleItDoesNotKnow) {
  const RegKey unknown[] = {0, static_cast<int32_t>(0x80000002u),        // local machine
                            static_cast<int32_t>(0x80000003u), 0x7777};  // users, never opened
  for (const RegKey bad : unknown) {
    SCOPED_TRACE(bad);
    RegKey handle = 0;
    uint32_t size = 8;
    char name[8];
    EXPECT_EQ(hive->OpenKeyEx(bad, "x", reg::kQueryValue, &handle), reg::kInvalidHandle);
    EXPECT_EQ(hive->CreateKeyEx(bad, "x", reg::kAllSpecificRights, &handle), reg::kInvalidHandle);
    EXPECT_EQ(hive->QueryValueEx(bad, "x", nullptr, nullptr, &size), reg::kInvalidHandle);
    EXPECT_EQ(hive->SetValueEx(bad, "x", reg::kSz, nullptr, 0), reg::kInvalidHandle);
    EXPECT_EQ(hive->EnumValue(bad, 0, name, &size), reg::kInvalidHandle);
    EXPECT_EQ(hive->EnumKey(bad, 0, name, sizeof name), reg::kInvalidHandle);
    EXPECT_EQ(hive->DeleteKey(bad, "x"), reg::kInvalidHandle);
    EXPECT_EQ(hive->DeleteValue(bad, "x"), reg::kInvalidHandle);
    EXPECT_EQ(hive->QueryInfoKey(bad, &size), reg::kInvalidHandle);
    EXPECT_EQ(hive->CloseKey(bad), reg::kInvalidHandle);
  }
}

TEST_F(SqliteRegistryTest, ClosedAndDeletedKeysAreNoLongerUsable) {
  const RegKey doomed = Open("");
  RegKey child = 0;
  ASSERT_EQ(hive->CreateKeyEx(doomed, "Doomed", reg::kAllSpecificRights, &child), reg::kSuccess);
  ASSERT_EQ(hive->DeleteKey(doomed, "Doomed"), reg::kSuccess);
  uint32_t size = 0;
  EXPECT_EQ(hive->QueryValueEx(child, "", nullptr, nullptr, &size), reg::kKeyDeleted);
  EXPECT_EQ(hive->SetValueEx(child, "v", reg::kSz, nullptr, 0), reg::kKeyDeleted);
  RegKey grandchild = 0;
  EXPECT_EQ(hive->CreateKeyEx(child, "Deeper", reg::kAllSpecificRights, &grandchild),
            reg::kKeyDeleted);
  EXPECT_EQ(hive->CloseKey(child), reg::kSuccess);
  EXPECT_EQ(hive->CloseKey(child), reg::kInvalidHandle);
  hive->CloseKey(doomed);
}

TEST_F(SqliteRegistryTest, AnOpenKeyAllowsOnlyWhatItWasOpenedFor) {
  ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Rights", "v", reg::kSz, Bytes("x")));
  const RegKey query = Open("Rights", reg::kQueryValue);
  const RegKey list = Open("Rights", reg::kEnumerateSubKeys);
  uint32_t size = 0;
  char name[8];
  EXPECT_EQ(hive->SetValueEx(query, "v", reg::kSz, nullptr, 0), reg::kAccessDenied);
  EXPECT_EQ(hive->DeleteValue(query, "v"), reg::kAccessDenied);
  EXPECT_EQ(hive->EnumKey(query, 0, name, sizeof name), reg::kAccessDenied);
  EXPECT_EQ(hive->QueryValueEx(list, "v", nullptr, nullptr, &size), reg::kAccessDenied);
  EXPECT_EQ(hive->QueryInfoKey(list, &size), reg::kAccessDenied);
  EXPECT_EQ(hive->QueryValueEx(query, "v", nullptr, nullptr, &size), reg::kSuccess);
  hive->CloseKey(query);
  hive->CloseKey(list);
}

TEST_F(SqliteRegistryTest, BuffersThatAreTooSmallAreToldTheSizeNeeded) {
  ASSERT_TRUE(CreateRawKey(*hive, kHkeyCurrentUser, "Sizes\\LongSubkeyName"));
  ASSERT_TRUE(
      WriteRaw(*hive, kHkeyCurrentUser, "Sizes", "LongValueName", reg::kBinary, {1, 2, 3, 4, 5}));
  const RegKey key = Open("Sizes");

  uint32_t longest = 0;
  EXPECT_EQ(hive->QueryInfoKey(key, &longest), reg::kSuccess);
  EXPECT_EQ(longest, 13u);

  char name[32];
  uint32_t size = 13;  // no room for the NUL
  EXPECT_EQ(hive->EnumValue(key, 0, name, &size), reg::kMoreData);
  size = 14;
  EXPECT_EQ(hive->EnumValue(key, 0, name, &size), reg::kSuccess);
  EXPECT_EQ(size, 13u);
  EXPECT_STREQ(name, "LongValueName");
  EXPECT_EQ(hive->EnumValue(key, 1, name, &size), reg::kNoMoreItems);
  EXPECT_EQ(hive->EnumKey(key, 0, name, 14), reg::kMoreData);
  EXPECT_EQ(hive->EnumKey(key, 0, name, 15), reg::kSuccess);
  EXPECT_STREQ(name, "LongSubkeyName");
  EXPECT_EQ(hive->EnumKey(key, 1, name, 15), reg::kNoMoreItems);

  uint8_t data[8] = {};
  uint32_t type = 0;
  uint32_t dataSize = 2;
  EXPECT_EQ(hive->QueryValueEx(key, "longvaluename", &type, data, &dataSize), reg::kMoreData);
  EXPECT_EQ(dataSize, 5u);
  EXPECT_EQ(type, reg::kBinary);
  dataSize = sizeof data;
  EXPECT_EQ(hive->QueryValueEx(key, "LongValueName", nullptr, data, &dataSize), reg::kSuccess);
  EXPECT_EQ(dataSize, 5u);
  EXPECT_EQ(data[4], 5);
  hive->CloseKey(key);
}

TEST_F(SqliteRegistryTest, NamesWithOddBytesComeBackExactly) {
  const std::vector<std::string> names = {"caf\xC3\xA9", "\xFF\x01raw", "back\\slash", " ", ""};
  for (const std::string& name : names) {
    ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Odd", name, reg::kSz, Bytes(name)));
  }
  EXPECT_EQ(ValueNames("Odd"), names);
  for (const std::string& name : names) {
    EXPECT_EQ(ReadRaw(*hive, kHkeyCurrentUser, "Odd", name), (RawValue{reg::kSz, Bytes(name)}));
  }
  ASSERT_TRUE(CreateRawKey(*hive, kHkeyCurrentUser, "Odd\\\xE2\x82\xAC sign"));
  EXPECT_EQ(SubkeyNames("Odd"), (std::vector<std::string>{"\xE2\x82\xAC sign"}));
}

TEST_F(SqliteRegistryTest, OverlongKeyNamesAreRefused) {
  RegKey handle = 0;
  const std::string tooLong(256, 'k');
  EXPECT_EQ(hive->CreateKeyEx(kHkeyCurrentUser, tooLong.c_str(), reg::kAllSpecificRights, &handle),
            reg::kInvalidParameter);
  EXPECT_TRUE(CreateRawKey(*hive, kHkeyCurrentUser, std::string(255, 'k')));
}

// Each copy writes its own values into the same hive while the other runs; every write
// must land, each copy must see the other's, and all of them outlive the hive's closing.
TEST_F(SqliteRegistryTest, TwoRunningCopiesShareTheHive) {
  const std::string path = (folder / "hive.db").string();
  ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Shared", "before", reg::kSz, Bytes("parent")));
  constexpr int kWrites = 150;
  const auto writeAll = [](RegistryBackend& backend, const std::string& prefix) {
    cRegistry registry(backend);
    registry.ClassKey(kHkeyCurrentUser);
    registry.ValueType(4);
    for (int32_t i = 0; i < kWrites; ++i) {
      registry.SectionKey("Shared\\" + prefix + std::to_string(i % 7));
      registry.ValueKey(prefix + std::to_string(i));
      registry.Value(Variant(i));
    }
  };

  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    int status = 0;
    try {
      const auto second = OpenRegistryHive(path).backend;
      status = ReadRaw(*second, kHkeyCurrentUser, "Shared", "before") ? 0 : 2;
      writeAll(*second, "child");
    } catch (...) {
      status = 3;
    }
    _exit(status);
  }
  EXPECT_NO_THROW(writeAll(*hive, "parent"));
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  hive = OpenRegistryHive(path).backend;
  cRegistry reader(*hive);
  reader.ClassKey(kHkeyCurrentUser);
  for (const char* prefix : {"parent", "child"}) {
    for (int32_t i = 0; i < kWrites; ++i) {
      reader.SectionKey(std::string("Shared\\") + prefix + std::to_string(i % 7));
      reader.ValueKey(prefix + std::to_string(i));
      ASSERT_EQ(reader.Value(), Variant(i)) << prefix << i;
    }
  }
}

}  // namespace
}  // namespace hv
