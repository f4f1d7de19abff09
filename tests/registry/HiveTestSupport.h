#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "platform/RegistryBackend.h"
#include "platform/posix/RegistryHive.h"

namespace hv::test {

// The subkey or value names of key, in the order the hive lists them; empty when the key
// cannot be opened.
inline std::vector<std::string> ListNames(RegistryBackend& hive, int32_t root,
                                          const std::string& key, bool subkeys) {
  std::vector<std::string> names;
  RegKey handle = 0;
  if (hive.OpenKeyEx(root, key.c_str(), reg::kAllSpecificRights, &handle) != reg::kSuccess) {
    ADD_FAILURE() << "cannot open " << key;
    return names;
  }
  char name[256];
  for (uint32_t i = 0, size = sizeof name;
       (subkeys ? hive.EnumKey(handle, i, name, size) : hive.EnumValue(handle, i, name, &size)) ==
       reg::kSuccess;
       ++i, size = sizeof name) {
    names.emplace_back(name);
  }
  hive.CloseKey(handle);
  return names;
}

// A fresh hive of its own in a temporary folder.
class SqliteRegistryTest : public testing::Test {
 protected:
  SqliteRegistryTest() : hive(OpenRegistryHive(Path()).backend) {}

  std::string Path() const { return (folder / "hive.db").string(); }

  RegKey Open(const std::string& key) {
    RegKey handle = 0;
    EXPECT_EQ(hive->OpenKeyEx(kHkeyCurrentUser, key.c_str(), reg::kAllSpecificRights, &handle),
              reg::kSuccess)
        << key;
    return handle;
  }

  std::vector<std::string> Names(const std::string& key, bool subkeys) {
    return ListNames(*hive, kHkeyCurrentUser, key, subkeys);
  }

  TempFolder folder;
  std::unique_ptr<RegistryBackend> hive;
};

}  // namespace hv::test
