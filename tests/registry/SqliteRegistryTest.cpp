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

  RegKey Open(const std::string& key) {
    RegKey handle = 0;
    EXPECT_EQ(hive->OpenKeyEx(kHkeyCurrentUser, key.c_str(), reg::kAllSpecificRights, &handle),
              reg::kSuccess)
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
      {kHkeyCurrentUser, "Parent", reg::kSuccess},
      {kHkeyCurrentUser, "", reg::kAccessDenied},
      {kHkeyClassesRoot, "\\", reg::kAccessDenied},
      {kHkeyCurrentUser, ".txt", reg::kFileNotFound},
      {kHkeyClassesRoot, ".TXT", reg::kSuccess},
  };
  for (const auto& [root, key, expected] : steps) {
    EXPECT_EQ(hive->DeleteKey(root, key), expected) << key;
  }
}

// Every call checks its handle: roots the hive does not have, numbers it never gave out
// and closed keys are invalid; a key another copy deleted refuses. The calls left out
// reach their key as the query does.
TEST_F(SqliteRegistryTest, EveryCallChecksItsHandle) {
  ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Rights", "v", reg::kSz, Bytes("x")));
  RegKey handle = 0;
  uint32_t size = 8;
  using Call = std::function<long(RegKey)>;
  const Call open = [&](RegKey k) { return hive->OpenKeyEx(k, "x", reg::kQueryValue, &handle); };
  const Call create = [&](RegKey k) {
    return hive->CreateKeyEx(k, "x", reg::kAllSpecificRights, &handle);
  };
  const Call query = [&](RegKey k) { return hive->QueryValueEx(k, "v", nullptr, nullptr, &size); };
  const Call set = [&](RegKey k) { return hive->SetValueEx(k, "v", reg::kSz, nullptr, 0); };
  const Call deleteKey = [&](RegKey k) { return hive->DeleteKey(k, "x"); };
  const Call close = [&](RegKey k) { return hive->CloseKey(k); };
  for (const RegKey bad : {0, static_cast<int32_t>(0x80000002u), 0x7777}) {
    for (const Call& call : {open, create, query, set, deleteKey, close}) {
      EXPECT_EQ(call(bad), reg::kInvalidHandle) << bad;
    }
  }

  const RegKey child = Open("Rights");
  ASSERT_EQ(hive->DeleteKey(kHkeyCurrentUser, "Rights"), reg::kSuccess);
  for (const Call& call : {query, set, create}) {
    EXPECT_EQ(call(child), reg::kKeyDeleted);
  }
  EXPECT_EQ(close(child), reg::kSuccess);
  EXPECT_EQ(close(child), reg::kInvalidHandle);
}

TEST_F(SqliteRegistryTest, NamesWithOddBytesComeBackExactlyAndOverlongKeyNamesAreRefused) {
  const std::vector<std::string> names = {"caf\xC3\xA9", "\xFF\x01raw", "back\\slash", ""};
  for (const std::string& name : names) {
    ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, "Odd", name, reg::kSz, Bytes(name)));
  }
  EXPECT_EQ(Names("Odd", false), names);
  for (const std::string& name : names) {
    EXPECT_EQ(ReadRaw(*hive, kHkeyCurrentUser, "Odd", name), (RawValue{reg::kSz, Bytes(name)}));
  }
  // Key names are limited as on the platform.
  RegKey handle = 0;
  EXPECT_EQ(hive->CreateKeyEx(kHkeyCurrentUser, std::string(256, 'k').c_str(),
                              reg::kAllSpecificRights, &handle),
            reg::kInvalidParameter);
  EXPECT_TRUE(CreateRawKey(*hive, kHkeyCurrentUser, std::string(255, 'k')));
}

// Each copy writes its own values into the same hive while the other runs; every write
// must land and outlive the hive's closing.
TEST_F(SqliteRegistryTest, TwoRunningCopiesShareTheHive) {
  const std::string path = (folder / "hive.db").string();
  const auto writeAll = [](RegistryBackend& backend, const std::string& prefix) {
    bool written = true;
    for (int i = 0; i < 150; ++i) {
      const std::string name = prefix + std::to_string(i);
      written = WriteRaw(backend, kHkeyCurrentUser, "Shared\\" + std::to_string(i % 7), name,
                         reg::kSz, Bytes(name)) &&
                written;
    }
    return written;
  };
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    _exit(writeAll(*OpenRegistryHive(path).backend, "child") ? 0 : 2);
  }
  EXPECT_TRUE(writeAll(*hive, "parent"));
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

  hive = OpenRegistryHive(path).backend;
  for (const std::string prefix : {"parent", "child"}) {
    for (int i = 0; i < 150; ++i) {
      const std::string name = prefix + std::to_string(i);
      ASSERT_EQ(ReadRaw(*hive, kHkeyCurrentUser, "Shared\\" + std::to_string(i % 7), name),
                (RawValue{reg::kSz, Bytes(name)}));
    }
  }
}

}  // namespace
}  // namespace hv
