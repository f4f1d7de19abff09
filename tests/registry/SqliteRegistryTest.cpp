#include "platform/posix/SqliteRegistry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "RawRegistryValues.h"
#include "TempFolder.h"
#include "platform/posix/RegistryHive.h"

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

  EXPECT_EQ(Names("", true), (std::vector<std::string>{"Order"}));
  EXPECT_EQ(Names("Order", true), (std::vector<std::string>{"A", "b", "c"}));
  EXPECT_EQ(Names("Order", false), (std::vector<std::string>{"A", "b", "c"}));
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
  EXPECT_TRUE(Names("Parent\\Child", false).empty());
}

// Every call checks its handle: roots the hive does not have, numbers it never gave out
// and closed keys are invalid; a deleted key and one opened for other rights refuse.
TEST_F(SqliteRegistryTest, EveryCallChecksItsHandle) {
  ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Rights", "v", reg::kSz, Bytes("x")));
  RegKey handle = 0;
  uint32_t size = 8;
  char name[8];
  using Call = std::function<long(RegKey)>;
  const Call open = [&](RegKey k) { return hive->OpenKeyEx(k, "x", reg::kQueryValue, &handle); };
  const Call create = [&](RegKey k) {
    return hive->CreateKeyEx(k, "x", reg::kAllSpecificRights, &handle);
  };
  const Call query = [&](RegKey k) { return hive->QueryValueEx(k, "v", nullptr, nullptr, &size); };
  const Call set = [&](RegKey k) { return hive->SetValueEx(k, "v", reg::kSz, nullptr, 0); };
  const Call enumValue = [&](RegKey k) { return hive->EnumValue(k, 0, name, &size); };
  const Call enumKey = [&](RegKey k) { return hive->EnumKey(k, 0, name, sizeof name); };
  const Call deleteKey = [&](RegKey k) { return hive->DeleteKey(k, "x"); };
  const Call deleteValue = [&](RegKey k) { return hive->DeleteValue(k, "v"); };
  const Call info = [&](RegKey k) { return hive->QueryInfoKey(k, &size); };
  const Call close = [&](RegKey k) { return hive->CloseKey(k); };
  for (const RegKey bad : {0, static_cast<int32_t>(0x80000002u),          // local machine
                           static_cast<int32_t>(0x80000003u), 0x7777}) {  // users, never opened
    for (const Call& call :
         {open, create, query, set, enumValue, enumKey, deleteKey, deleteValue, info, close}) {
      EXPECT_EQ(call(bad), reg::kInvalidHandle) << bad;
    }
  }

  const RegKey queryOnly = Open("Rights", reg::kQueryValue);
  const RegKey listOnly = Open("Rights", reg::kEnumerateSubKeys);
  for (const Call& call : {set, deleteValue, enumKey}) {
    EXPECT_EQ(call(queryOnly), reg::kAccessDenied);
  }
  for (const Call& call : {query, info}) {
    EXPECT_EQ(call(listOnly), reg::kAccessDenied);
  }
  EXPECT_EQ(query(queryOnly), reg::kSuccess);

  const RegKey child = Open("Rights");
  ASSERT_EQ(hive->DeleteKey(kHkeyCurrentUser, "Rights"), reg::kSuccess);
  for (const Call& call : {query, set, create}) {
    EXPECT_EQ(call(child), reg::kKeyDeleted);
  }
  EXPECT_EQ(close(child), reg::kSuccess);
  EXPECT_EQ(close(child), reg::kInvalidHandle);
}

TEST_F(SqliteRegistryTest, NamesWithOddBytesComeBackExactlyAndOverlongKeyNamesAreRefused) {
  const std::vector<std::string> names = {"caf\xC3\xA9", "\xFF\x01raw", "back\\slash", " ", ""};
  for (const std::string& name : names) {
    ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Odd", name, reg::kSz, Bytes(name)));
  }
  EXPECT_EQ(Names("Odd", false), names);
  for (const std::string& name : names) {
    EXPECT_EQ(ReadRaw(*hive, kHkeyCurrentUser, "Odd", name), (RawValue{reg::kSz, Bytes(name)}));
  }
  ASSERT_TRUE(CreateRawKey(*hive, kHkeyCurrentUser, "Odd\\\xE2\x82\xAC sign"));
  EXPECT_EQ(Names("Odd", true), (std::vector<std::string>{"\xE2\x82\xAC sign"}));
  // Key names are limited as on the platform.
  RegKey handle = 0;
  EXPECT_EQ(hive->CreateKeyEx(kHkeyCurrentUser, std::string(256, 'k').c_str(),
                              reg::kAllSpecificRights, &handle),
            reg::kInvalidParameter);
  EXPECT_TRUE(CreateRawKey(*hive, kHkeyCurrentUser, std::string(255, 'k')));
}

// Each copy writes its own values into the same hive while the other runs; every write
// must land, each copy must see the other's, and all of them outlive the hive's closing.
TEST_F(SqliteRegistryTest, TwoRunningCopiesShareTheHive) {
  const std::string path = (folder / "hive.db").string();
  ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Shared", "before", reg::kSz, Bytes("parent")));
  constexpr int kWrites = 150;
  const auto key = [](const std::string& prefix, int i) {
    return "Shared\\" + prefix + std::to_string(i % 7);
  };
  const auto writeAll = [&](RegistryBackend& backend, const std::string& prefix) {
    for (int i = 0; i < kWrites; ++i) {
      const std::string name = prefix + std::to_string(i);
      if (!WriteRaw(backend, kHkeyCurrentUser, key(prefix, i), name, reg::kSz, Bytes(name))) {
        return false;
      }
    }
    return true;
  };

  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    const auto second = OpenRegistryHive(path).backend;
    const bool shared = ReadRaw(*second, kHkeyCurrentUser, "Shared", "before").has_value();
    _exit(shared && writeAll(*second, "child") ? 0 : 2);
  }
  EXPECT_TRUE(writeAll(*hive, "parent"));
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  hive = OpenRegistryHive(path).backend;
  for (const char* prefix : {"parent", "child"}) {
    for (int i = 0; i < kWrites; ++i) {
      const std::string name = prefix + std::to_string(i);
      ASSERT_EQ(ReadRaw(*hive, kHkeyCurrentUser, key(prefix, i), name),
                (RawValue{reg::kSz, Bytes(name)}));
    }
  }
}

}  // namespace
}  // namespace hv
