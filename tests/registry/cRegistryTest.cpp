#include "registry/cRegistry.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "EnvironmentVariable.h"
#include "ForwardingRegistry.h"
#include "RawRegistryValues.h"
#include "ScratchRegistry.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

using test::Bytes;
using test::RawValue;
using test::ReadRaw;

constexpr const char* kKey = "Software\\Hushvault\\Test";
// The test program's own name: errors name the running executable.
constexpr const char* kSource = "registry_tests.cRegistry";

RawValue Text(uint32_t type, const std::string& text) {
  return {type, Bytes(text + std::string(1, '\0'))};
}

// Catches the numbered error that action raises; fails the test when none comes.
NumberedError RaisedBy(const std::function<void()>& action) {
  try {
    action();
  } catch (const NumberedError& error) {
    return error;
  }
  ADD_FAILURE() << "no numbered error was raised";
  return NumberedError(0, "", "");
}

class cRegistryTest : public testing::Test {
 protected:
  cRegistry At(int32_t root, const std::string& section, const std::string& value = "",
               int32_t type = 0) {
    cRegistry at(scratch.Backend());
    at.ClassKey(root);
    at.SectionKey(section);
    at.ValueKey(value);
    at.ValueType(type);
    return at;
  }
  std::optional<RawValue> Stored(const std::string& name) {
    return ReadRaw(scratch.Backend(), kHkeyCurrentUser, kKey, name);
  }
  void Plant(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) {
    ASSERT_TRUE(test::WriteRaw(scratch.Backend(), kHkeyCurrentUser, kKey, name, type, data));
  }
  void PlantKey(const std::string& below) {
    ASSERT_TRUE(test::CreateRawKey(scratch.Backend(), kHkeyCurrentUser, kKey + below));
  }
  bool KeyThere(const std::string& below) { return At(kHkeyCurrentUser, kKey + below).KeyExists(); }

  test::ScratchRegistry scratch;
  cRegistry registry = At(kHkeyCurrentUser, kKey);
};

TEST_F(cRegistryTest, ReadsEachTypeAsStoredAndNotesTheType) {
  struct Case {
    const char* what;
    uint32_t type;
    std::vector<uint8_t> data;
    Variant expected;
  };
  test::SetVariable("HV_REGISTRY_TEST_FOLDER", "C:\\Stuff");
  const Case cases[] = {
      {"sz drops its terminator", reg::kSz, Bytes(std::string("abc\0", 4)), std::string("abc")},
      {"sz without terminator", reg::kSz, Bytes("ab"), std::string("ab")},
      {"sz with no data", reg::kSz, {}, std::string()},
      {"expand sz expands references", reg::kExpandSz,
       Bytes(std::string("%HV_REGISTRY_TEST_FOLDER%\\x %HV_UNDEFINED_NAME%") + '\0'),
       std::string("C:\\Stuff\\x %HV_UNDEFINED_NAME%")},
      {"multi sz kept whole", reg::kMultiSz, Bytes(std::string("one\0two\0\0", 9)),
       std::string("one\0two\0", 8)},
      {"dword little-endian", reg::kDword, {0x02, 0x01, 0x00, 0x00}, 258},
      {"short dword pads with zeros", reg::kDword, {0x07}, 7},
      {"big-endian reversed", reg::kDwordBigEndian, {0x12, 0x34, 0x56, 0x78}, 0x12345678},
      {"binary gets one trailing zero", reg::kBinary, {1, 2, 3}, ByteArray{1, 2, 3, 0}},
  };
  registry.ValueKey("value");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Plant("value", c.type, c.data);
    registry.ValueType(99);
    EXPECT_EQ(registry.Value(), c.expected);
    EXPECT_EQ(registry.ValueType(), static_cast<int32_t>(c.type));
  }
}

TEST_F(cRegistryTest, FailedReadGivesDefaultAndKeepsValueType) {
  registry.ValueKey("absent");
  registry.ValueType(3);
  EXPECT_EQ(registry.Value(), Variant());
  registry.Default(Variant(int32_t{42}));
  EXPECT_EQ(registry.Value(), Variant(int32_t{42}));
  registry.SectionKey("Software\\Hushvault\\NoSuchKey");
  EXPECT_EQ(registry.Value(), Variant(int32_t{42}));
  EXPECT_EQ(registry.ValueType(), 3);
}

TEST_F(cRegistryTest, WritesByValueTypeAndLeavesValueTypeAlone) {
  struct Case {
    const char* what;
    int32_t valueType;
    Variant value;
    RawValue stored;
  };
  const Case cases[] = {
      {"plain text", 1, std::string("plain"), Text(reg::kSz, "plain")},
      {"reference becomes expand sz", 1, std::string("%SystemRoot%\\x"),
       Text(reg::kExpandSz, "%SystemRoot%\\x")},
      {"adjacent percent signs stay sz", 1, std::string("a%%b"), Text(reg::kSz, "a%%b")},
      {"expand type without reference", 2, std::string("C:\\x"), Text(reg::kSz, "C:\\x")},
      {"Boolean as text", 1, true, Text(reg::kSz, "True")},
      {"dword", 4, int32_t{258}, {reg::kDword, {0x02, 0x01, 0x00, 0x00}}},
      {"16-bit integer widened", 4, int16_t{-2}, {reg::kDword, {0xFE, 0xFF, 0xFF, 0xFF}}},
      {"big-endian type stores little-endian", 5, int32_t{258}, {reg::kDword, {2, 1, 0, 0}}},
      {"binary", 3, ByteArray{1, 0, 2}, {reg::kBinary, {1, 0, 2}}},
  };
  registry.ValueKey("value");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    registry.ValueType(c.valueType);
    registry.Value(c.value);
    EXPECT_EQ(Stored("value"), c.stored);
    EXPECT_EQ(registry.ValueType(), c.valueType);
  }
}

TEST_F(cRegistryTest, DwordWriteOfANonIntegerWritesNothingAndRaisesNothing) {
  registry.ValueKey("number");
  for (const int32_t type : {4, 5}) {
    registry.ValueType(type);
    for (const Variant& value : {Variant(true), Variant(std::string("12")), Variant(1.5)}) {
      EXPECT_NO_THROW(registry.Value(value));
    }
  }
  EXPECT_FALSE(Stored("number"));
}

TEST_F(cRegistryTest, EmptyValueKeyIsTheUnnamedValueForReadWriteAndDelete) {
  registry.ValueKey("");
  registry.ValueType(1);
  registry.Value(Variant(std::string("unnamed")));
  EXPECT_EQ(Stored(""), Text(reg::kSz, "unnamed"));
  EXPECT_EQ(registry.Value(), Variant(std::string("unnamed")));
  EXPECT_TRUE(registry.DeleteValue());
  EXPECT_FALSE(Stored(""));
}

// Names in both creation and alphabetical order: the Linux hive lists by creation (its
// own tests check that), the system's registry alphabetically.
TEST_F(cRegistryTest, EnumerationsListValuesFromZeroAndSectionsFromOne) {
  for (const char* name : {"Alpha", "bravo", "Charlie"}) {
    Plant(name, reg::kSz, Bytes("x"));
    PlantKey(std::string("\\") + name);
  }
  std::vector<std::string> names{"stale"};
  int32_t count = -1;
  EXPECT_TRUE(registry.EnumerateValues(names, count));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "bravo", "Charlie"}));
  EXPECT_TRUE(registry.EnumerateSections(names, count));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(names, (std::vector<std::string>{"", "Alpha", "bravo", "Charlie"}));
}

TEST_F(cRegistryTest, AMissingKeyEnumeratesEmptyIsNotDeletedAndIsCreatedOnce) {
  registry.SectionKey("Software\\Hushvault\\Missing");
  for (const auto enumerate : {&cRegistry::EnumerateValues, &cRegistry::EnumerateSections}) {
    std::vector<std::string> names{"stale"};
    int32_t count = 9;
    EXPECT_TRUE((registry.*enumerate)(names, count));
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
  }
  EXPECT_FALSE(registry.DeleteKey());
  EXPECT_FALSE(registry.KeyExists());
  EXPECT_TRUE(registry.CreateKey());
  registry.SectionKey("software\\HUSHVAULT\\missing");
  EXPECT_TRUE(registry.KeyExists());
}

TEST_F(cRegistryTest, DeleteKeyRemovesTheKeyWithItsChildrenButNotDeeper) {
  struct Case {
    const char* what;
    std::vector<std::string> below;
    bool deleted;
    std::vector<bool> remains;  // for each key below, after the delete
  };
  const Case cases[] = {
      {"children only", {"A", "B"}, true, {false, false}},
      {"a grandchild keeps its parent and the key",
       {"A", "B", "B\\Deep"},
       false,
       {false, true, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PlantKey("");
    Plant("value", reg::kSz, Bytes("x"));
    for (const std::string& below : c.below) {
      PlantKey("\\" + below);
    }
    EXPECT_EQ(registry.DeleteKey(), c.deleted);
    EXPECT_EQ(KeyThere(""), !c.deleted);
    for (size_t i = 0; i < c.below.size(); ++i) {
      EXPECT_EQ(KeyThere("\\" + c.below[i]), c.remains[i]) << c.below[i];
    }
  }
}

// A registry whose subkey listing breaks down.
class BrokenListing : public test::ForwardingRegistry {
 public:
  using ForwardingRegistry::ForwardingRegistry;
  long EnumKey(RegKey, uint32_t, char*, uint32_t) override { throw std::runtime_error("Overflow"); }
};

TEST_F(cRegistryTest, RaisesEveryErrorWithItsNumberSourceAndTextAndStoresNothing) {
  BrokenListing broken(scratch.Backend());
  cRegistry failing(broken);
  failing.ClassKey(kHkeyCurrentUser);
  failing.SectionKey(kKey);
  struct Case {
    const char* what;
    std::function<void()> action;
    long number;
    std::string source;
    std::string description;
  };
  const std::string where = "Key: '-2147483647',Section: 'Software\\Hushvault\\Test',Key: ";
  const int32_t user = kHkeyCurrentUser;
  const Case cases[] = {
      {"create key without a root", [&] { At(0, kKey).CreateKey(); }, kRegistryError, kSource,
       "Failed to create registry Key: 'Software\\Hushvault\\Test"},
      {"delete value of a missing key",
       [&] { At(user, "Software\\Gone", "present").DeleteValue(); }, kRegistryError, kSource,
       "Failed to open key '-2147483647',Section: 'Software\\Gone' for delete access"},
      {"delete value that does not exist", [&] { At(user, kKey, "absent").DeleteValue(); },
       kRegistryError, kSource, "Failed to delete registry " + where + "'absent"},
      {"write without a root", [&] { At(0, kKey, "v", 1).Value(std::string("text")); },
       kRegistryError, kSource,
       "Failed to set registry value Key: '0',Section: 'Software\\Hushvault\\Test',"
       "Key: 'v' to value: 'text'"},
      {"write of a type that cannot be written", [&] { At(user, kKey, "v", 7).Value(12); },
       kRegistrySetValueError, kSource,
       "Failed to set registry value " + where + "'v' to value: '12'"},
#ifndef _WIN32  // the system's Shell Folders key is writable
      {"write into the read-only special folders",
       [&] {
         At(user, kShellFoldersKey, "AppData", 3).Value(ByteArray{0xAB, 0x01});
       },
       kRegistrySetValueError, kSource,
       std::string("Failed to set registry value Key: '-2147483647',Section: '") +
           kShellFoldersKey + "',Key: 'AppData' to value: 'AB 01'"},
#endif
      {"binary write of something else", [&] { At(user, kKey, "v", 3).Value(std::string("no")); },
       kRegistryError, "", "Application-defined or object-defined error"},
      {"additional associations with a broken list",
       [&] { registry.CreateAdditionalEXEAssociations("cls", {Variant(std::string("a"))}); },
       kRegistryAssociationListError, kSource,
       "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected "
       "Name/Text/Command"},
      {"additional associations before the class",
       [&] { At(kHkeyClassesRoot, "").CreateAdditionalEXEAssociations("Nobody.Class", {}); },
       kRegistryClassMissingError, kSource,
       "Error - attempt to create additional associations before class defined."},
      {"a run-time error while listing subkeys",
       [&] {
         std::vector<std::string> names;
         int32_t count = 0;
         failing.EnumerateSections(names, count);
       },
       kRegistryEnumerateError, kSource, "Overflow"},
  };
  Plant("present", reg::kSz, Bytes("x"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const NumberedError error = RaisedBy(c.action);
    EXPECT_EQ(error.Number(), c.number);
    EXPECT_EQ(error.Source(), c.source);
    EXPECT_EQ(error.Description(), c.description);
    EXPECT_FALSE(Stored("v"));
  }
}

// The registry class relies on the same codes from both platforms' stores: a buffer too
// small is refused with the size it needs.
TEST_F(cRegistryTest, SmallBuffersGiveThePlatformsCodes) {
  Plant("LongValueName", reg::kBinary, {1, 2, 3, 4, 5});
  RegKey key = 0;
  RegistryBackend& hive = scratch.Backend();
  ASSERT_EQ(hive.OpenKeyEx(kHkeyCurrentUser, kKey, reg::kAllSpecificRights, &key), reg::kSuccess);
  char name[16] = {};
  uint32_t size = 13;  // no room for the NUL
  EXPECT_EQ(hive.EnumValue(key, 0, name, &size), reg::kMoreData);
  uint8_t data[8] = {};
  uint32_t type = 0;
  size = 2;
  EXPECT_EQ(hive.QueryValueEx(key, "longvaluename", &type, data, &size), reg::kMoreData);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(type, reg::kBinary);
  hive.CloseKey(key);
}

}  // namespace
}  // namespace hv
