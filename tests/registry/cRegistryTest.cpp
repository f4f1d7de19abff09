#include "registry/cRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <ostream>
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
using test::WriteRaw;

constexpr const char* kKey = "Software\\Hushvault\\Test";
// The test program's own name: errors name the running executable.
constexpr const char* kSource = "registry_tests.cRegistry";

class cRegistryTest : public testing::Test {
 protected:
  cRegistryTest() {
    registry.ClassKey(kHkeyCurrentUser);
    registry.SectionKey(kKey);
  }

  std::optional<RawValue> Stored(const std::string& name) {
    return ReadRaw(scratch.Backend(), kHkeyCurrentUser, kKey, name);
  }
  void Plant(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) {
    ASSERT_TRUE(WriteRaw(scratch.Backend(), kHkeyCurrentUser, kKey, name, type, data));
  }

  test::ScratchRegistry scratch;
  cRegistry registry{scratch.Backend()};
};

// Catches the numbered error that action raises; fails the test when none comes.
template <typename Action>
NumberedError RaisedBy(Action action) {
  try {
    action();
  } catch (const NumberedError& error) {
    return error;
  }
  ADD_FAILURE() << "no numbered error was raised";
  return NumberedError(0, "", "");
}

struct ReadCase {
  const char* what;
  uint32_t type;
  std::vector<uint8_t> data;
  Variant expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
  *os << c.what;
}

class cRegistryReads : public cRegistryTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(cRegistryReads, ReadsEachTypeAsStoredAndNotesTheType) {
  const ReadCase& c = GetParam();
  test::SetVariable("HV_REGISTRY_TEST_FOLDER", "C:\\Stuff");
  Plant("value", c.type, c.data);
  registry.ValueKey("value");
  registry.ValueType(99);

  EXPECT_EQ(registry.Value(), c.expected);
  EXPECT_EQ(registry.ValueType(), static_cast<int32_t>(c.type));
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, cRegistryReads,
    testing::Values(
        ReadCase{"sz drops its terminator", reg::kSz, Bytes(std::string("abc\0", 4)),
                 Variant(std::string("abc"))},
        ReadCase{"sz without terminator keeps every character", reg::kSz, Bytes("ab"),
                 Variant(std::string("ab"))},
        ReadCase{"sz with no data at all is empty", reg::kSz, {}, Variant(std::string())},
        ReadCase{"expand sz expands references", reg::kExpandSz,
                 Bytes(std::string("%HV_REGISTRY_TEST_FOLDER%\\x %HV_UNDEFINED_NAME%") + '\0'),
                 Variant(std::string("C:\\Stuff\\x %HV_UNDEFINED_NAME%"))},
        ReadCase{"multi sz kept whole with its separators", reg::kMultiSz,
                 Bytes(std::string("one\0two\0\0", 9)), Variant(std::string("one\0two\0", 8))},
        ReadCase{"dword little-endian", reg::kDword, {0x02, 0x01, 0x00, 0x00}, Variant(258)},
        ReadCase{"dword negative", reg::kDword, {0xFF, 0xFF, 0xFF, 0xFF}, Variant(-1)},
        ReadCase{"short dword pads with zeros", reg::kDword, {0x07}, Variant(7)},
        ReadCase{"big-endian dword reversed",
                 reg::kDwordBigEndian,
                 {0x00, 0x00, 0x01, 0x02},
                 Variant(258)},
        ReadCase{"binary gets one trailing zero",
                 reg::kBinary,
                 {1, 2, 3},
                 Variant(ByteArray{1, 2, 3, 0})},
        ReadCase{"empty binary is one zero", reg::kBinary, {}, Variant(ByteArray{0})},
        ReadCase{"type none reads as bytes", reg::kNone, {9}, Variant(ByteArray{9, 0})},
        ReadCase{"type 8 reads as bytes", 8, {4, 5}, Variant(ByteArray{4, 5, 0})}));

TEST_F(cRegistryTest, FailedReadGivesDefaultAndKeepsValueType) {
  registry.ValueKey("absent");
  registry.ValueType(3);
  EXPECT_EQ(registry.Value(), Variant());
  EXPECT_EQ(registry.ValueType(), 3);

  registry.Default(Variant(int32_t{42}));
  EXPECT_EQ(registry.Value(), Variant(int32_t{42}));
  registry.SectionKey("Software\\Hushvault\\NoSuchKey");
  EXPECT_EQ(registry.Value(), Variant(int32_t{42}));
  EXPECT_EQ(registry.ValueType(), 3);
  EXPECT_EQ(registry.ValueKey(), "absent");
}

struct WriteCase {
  const char* what;
  int32_t valueType;
  Variant value;
  RawValue stored;
};

void PrintTo(const WriteCase& c, std::ostream* os) {
  *os << c.what;
}

class cRegistryWrites : public cRegistryTest, public testing::WithParamInterface<WriteCase> {};

TEST_P(cRegistryWrites, StoresByValueTypeAndLeavesValueTypeAlone) {
  const WriteCase& c = GetParam();
  registry.ValueKey("value");
  registry.ValueType(c.valueType);
  registry.Value(c.value);

  EXPECT_EQ(Stored("value"), c.stored);
  EXPECT_EQ(registry.ValueType(), c.valueType);
}

RawValue Text(uint32_t type, const std::string& text) {
  return {type, Bytes(text + std::string(1, '\0'))};
}

INSTANTIATE_TEST_SUITE_P(
    EveryWritableType, cRegistryWrites,
    testing::Values(
        WriteCase{"plain text", 1, Variant(std::string("plain")), Text(reg::kSz, "plain")},
        WriteCase{"reference becomes expand sz", 1, Variant(std::string("%SystemRoot%\\x")),
                  Text(reg::kExpandSz, "%SystemRoot%\\x")},
        WriteCase{"one percent sign stays sz", 1, Variant(std::string("100% sure")),
                  Text(reg::kSz, "100% sure")},
        WriteCase{"adjacent percent signs stay sz", 1, Variant(std::string("a%%b")),
                  Text(reg::kSz, "a%%b")},
        WriteCase{"one character between is enough", 1, Variant(std::string("%A%")),
                  Text(reg::kExpandSz, "%A%")},
        WriteCase{"expand type without reference stores sz", 2, Variant(std::string("C:\\x")),
                  Text(reg::kSz, "C:\\x")},
        WriteCase{"number as text", 1, Variant(int32_t{-5}), Text(reg::kSz, "-5")},
        WriteCase{"Boolean as text", 1, Variant(true), Text(reg::kSz, "True")},
        WriteCase{"empty as empty text", 1, Variant(), Text(reg::kSz, "")},
        WriteCase{"dword", 4, Variant(int32_t{258}), {reg::kDword, {0x02, 0x01, 0x00, 0x00}}},
        WriteCase{
            "negative dword", 4, Variant(int32_t{-1}), {reg::kDword, {0xFF, 0xFF, 0xFF, 0xFF}}},
        WriteCase{"16-bit integer widened",
                  4,
                  Variant(int16_t{-2}),
                  {reg::kDword, {0xFE, 0xFF, 0xFF, 0xFF}}},
        WriteCase{"big-endian type stores little-endian dword",
                  5,
                  Variant(int32_t{258}),
                  {reg::kDword, {0x02, 0x01, 0x00, 0x00}}},
        WriteCase{"binary", 3, Variant(ByteArray{1, 0, 2}), {reg::kBinary, {1, 0, 2}}},
        WriteCase{"empty binary", 3, Variant(ByteArray{}), {reg::kBinary, {}}}));

TEST_F(cRegistryTest, DwordWriteOfANonIntegerWritesNothingAndRaisesNothing) {
  registry.ValueKey("number");
  for (const int32_t type : {4, 5}) {
    registry.ValueType(type);
    for (const Variant& value : {Variant(true), Variant(std::string("12")), Variant(1.5),
                                 Variant(uint8_t{3}), Variant(), Variant(ByteArray{1})}) {
      EXPECT_NO_THROW(registry.Value(value));
    }
  }
  EXPECT_FALSE(Stored("number"));
}

TEST_F(cRegistryTest, BinaryReadBackHasOneMoreElement) {
  registry.ValueKey("blob");
  registry.ValueType(3);
  registry.Value(Variant(ByteArray{7, 8}));
  EXPECT_EQ(registry.Value(), Variant(ByteArray{7, 8, 0}));
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

TEST_F(cRegistryTest, KeyExistsAndCreateKey) {
  EXPECT_FALSE(registry.KeyExists());
  EXPECT_TRUE(registry.CreateKey());
  EXPECT_TRUE(registry.KeyExists());
  EXPECT_TRUE(registry.CreateKey());  // present already: opened, not an error
  registry.SectionKey("software\\HUSHVAULT\\test");
  EXPECT_TRUE(registry.KeyExists());
}

TEST_F(cRegistryTest, EnumerateValuesIsZeroBasedInCreationOrder) {
#ifdef _WIN32
  GTEST_SKIP() << "the system's registry keeps its own enumeration order";
#endif
  registry.ValueType(1);
  for (const char* name : {"Zulu", "alpha", "Mike"}) {
    registry.ValueKey(name);
    registry.Value(Variant(std::string("x")));
  }
  std::vector<std::string> names{"stale"};
  int32_t count = -1;
  EXPECT_TRUE(registry.EnumerateValues(names, count));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(names, (std::vector<std::string>{"Zulu", "alpha", "Mike"}));
}

TEST_F(cRegistryTest, EnumerateSectionsIsOneBasedInCreationOrder) {
#ifdef _WIN32
  GTEST_SKIP() << "the system's registry keeps its own enumeration order";
#endif
  for (const char* name : {"Beta", "alpha", "Gamma"}) {
    ASSERT_TRUE(
        test::CreateRawKey(scratch.Backend(), kHkeyCurrentUser, std::string(kKey) + "\\" + name));
  }
  std::vector<std::string> names;
  int32_t count = 0;
  EXPECT_TRUE(registry.EnumerateSections(names, count));
  ASSERT_EQ(count, 3);
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names[1], "Beta");
  EXPECT_EQ(names[2], "alpha");
  EXPECT_EQ(names[3], "Gamma");
}

TEST_F(cRegistryTest, EnumerationsOfAMissingKeySucceedEmpty) {
  registry.SectionKey("Software\\Hushvault\\Missing");
  std::vector<std::string> names{"stale"};
  int32_t count = 9;
  EXPECT_TRUE(registry.EnumerateValues(names, count));
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(names.empty());

  names = {"stale"};
  count = 9;
  EXPECT_TRUE(registry.EnumerateSections(names, count));
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(names.empty());
}

struct DeleteKeyCase {
  const char* what;
  std::vector<std::string> below;  // keys below the one deleted
  bool deleted;
  std::vector<std::string> remaining;
};

void PrintTo(const DeleteKeyCase& c, std::ostream* os) {
  *os << c.what;
}

class cRegistryDeleteKey : public cRegistryTest,
                           public testing::WithParamInterface<DeleteKeyCase> {};

TEST_P(cRegistryDeleteKey, RemovesTheKeyWithItsChildrenButNotDeeper) {
  const DeleteKeyCase& c = GetParam();
  ASSERT_TRUE(test::CreateRawKey(scratch.Backend(), kHkeyCurrentUser, kKey));
  Plant("value", reg::kSz, Bytes("x"));
  for (const std::string& below : c.below) {
    ASSERT_TRUE(test::CreateRawKey(scratch.Backend(), kHkeyCurrentUser, kKey + ("\\" + below)));
  }

  EXPECT_EQ(registry.DeleteKey(), c.deleted);

  EXPECT_EQ(registry.KeyExists(), !c.deleted);
  for (const std::string& below : c.below) {
    registry.SectionKey(kKey + ("\\" + below));
    const bool remains =
        std::find(c.remaining.begin(), c.remaining.end(), below) != c.remaining.end();
    EXPECT_EQ(registry.KeyExists(), remains) << below;
  }
}

INSTANTIATE_TEST_SUITE_P(Depths, cRegistryDeleteKey,
                         testing::Values(DeleteKeyCase{"no subkeys", {}, true, {}},
                                         DeleteKeyCase{"children only", {"A", "B"}, true, {}},
                                         DeleteKeyCase{"a grandchild keeps its parent and the key",
                                                       {"A", "B", "B\\Deep"},
                                                       false,
                                                       {"B", "B\\Deep"}}));

TEST_F(cRegistryTest, DeleteKeyOfAMissingKeyIsFalse) {
  registry.SectionKey("Software\\Hushvault\\Missing");
  EXPECT_FALSE(registry.DeleteKey());
}

TEST_F(cRegistryTest, BigEndianReadReversesAllFourBytes) {
  Plant("big", reg::kDwordBigEndian, {0x12, 0x34, 0x56, 0x78});
  registry.ValueKey("big");
  EXPECT_EQ(registry.Value(), Variant(int32_t{0x12345678}));
}

struct ErrorCase {
  const char* what;
  std::function<void(cRegistry&)> action;
  long number;
  std::string source;
  std::string description;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
  *os << c.what;
}

class cRegistryErrors : public cRegistryTest, public testing::WithParamInterface<ErrorCase> {};

TEST_P(cRegistryErrors, RaisesTheNumberSourceAndTextExactly) {
  const ErrorCase& c = GetParam();
#ifdef _WIN32
  if (std::string(c.what) == "write into the read-only special folders") {
    GTEST_SKIP() << "the system's Shell Folders key is writable";
  }
#endif
  Plant("present", reg::kSz, Bytes("x"));
  const NumberedError error = RaisedBy([&] { c.action(registry); });
  EXPECT_EQ(error.Number(), c.number);
  EXPECT_EQ(error.Source(), c.source);
  EXPECT_EQ(error.Description(), c.description);
}

INSTANTIATE_TEST_SUITE_P(
    EveryError, cRegistryErrors,
    testing::Values(
        ErrorCase{"create key without a root",
                  [](cRegistry& r) {
                    r.ClassKey(0);
                    r.CreateKey();
                  },
                  26001, kSource, "Failed to create registry Key: 'Software\\Hushvault\\Test"},
        ErrorCase{"delete value of a missing key",
                  [](cRegistry& r) {
                    r.SectionKey("Software\\Gone");
                    r.ValueKey("present");
                    r.DeleteValue();
                  },
                  26001, kSource,
                  "Failed to open key '-2147483647',Section: 'Software\\Gone' for delete access"},
        ErrorCase{"delete value that does not exist",
                  [](cRegistry& r) {
                    r.ValueKey("absent");
                    r.DeleteValue();
                  },
                  26001, kSource,
                  "Failed to delete registry Key: '-2147483647',Section: "
                  "'Software\\Hushvault\\Test',Key: 'absent"},
        ErrorCase{"write without a root",
                  [](cRegistry& r) {
                    r.ClassKey(0);
                    r.ValueKey("v");
                    r.ValueType(1);
                    r.Value(Variant(std::string("text")));
                  },
                  26001, kSource,
                  "Failed to set registry value Key: '0',Section: 'Software\\Hushvault\\Test',"
                  "Key: 'v' to value: 'text'"},
        ErrorCase{"write of a type that cannot be written",
                  [](cRegistry& r) {
                    r.ValueKey("v");
                    r.ValueType(7);
                    r.Value(Variant(int32_t{12}));
                  },
                  kRegistrySetValueError, kSource,
                  "Failed to set registry value Key: '-2147483647',Section: "
                  "'Software\\Hushvault\\Test',Key: 'v' to value: '12'"},
        ErrorCase{"write into the read-only special folders",
                  [](cRegistry& r) {
                    r.SectionKey(kShellFoldersKey);
                    r.ValueKey("AppData");
                    r.ValueType(3);
                    r.Value(Variant(ByteArray{0xAB, 0x01}));
                  },
                  kRegistrySetValueError, kSource,
                  std::string("Failed to set registry value Key: '-2147483647',Section: '") +
                      kShellFoldersKey + "',Key: 'AppData' to value: 'AB 01'"},
        ErrorCase{"binary write of something else",
                  [](cRegistry& r) {
                    r.ValueKey("v");
                    r.ValueType(3);
                    r.Value(Variant(std::string("not bytes")));
                  },
                  26001, "", "Application-defined or object-defined error"},
        ErrorCase{"additional associations with a broken list",
                  [](cRegistry& r) {
                    r.CreateAdditionalEXEAssociations("cls", {Variant(std::string("a"))});
                  },
                  kRegistryAssociationListError, kSource,
                  "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected "
                  "Name/Text/Command"},
        ErrorCase{"additional associations before the class",
                  [](cRegistry& r) {
                    r.ClassKey(kHkeyClassesRoot);
                    r.CreateAdditionalEXEAssociations("Nobody.Class", {});
                  },
                  kRegistryClassMissingError, kSource,
                  "Error - attempt to create additional associations before class defined."}));

TEST_F(cRegistryTest, FailedWritesStoreNothingAndKeepTheSettings) {
  registry.ValueKey("v");
  registry.ValueType(7);
  EXPECT_THROW(registry.Value(Variant(int32_t{1})), NumberedError);
  registry.ValueType(3);
  EXPECT_THROW(registry.Value(Variant(std::string("x"))), NumberedError);
  EXPECT_FALSE(Stored("v"));
  EXPECT_EQ(registry.ClassKey(), kHkeyCurrentUser);
  EXPECT_EQ(registry.SectionKey(), kKey);
  EXPECT_EQ(registry.ValueKey(), "v");
  EXPECT_EQ(registry.ValueType(), 3);
}

// A registry whose subkey listing breaks down, and that counts the keys left open.
class BrokenListing : public test::ForwardingRegistry {
 public:
  using ForwardingRegistry::ForwardingRegistry;
  long OpenKeyEx(RegKey key, const char* subKey, uint32_t access, RegKey* result) override {
    ++open;
    return ForwardingRegistry::OpenKeyEx(key, subKey, access, result);
  }
  long CloseKey(RegKey key) override {
    --open;
    return ForwardingRegistry::CloseKey(key);
  }
  long EnumKey(RegKey, uint32_t, char*, uint32_t) override { throw std::runtime_error("Overflow"); }

  int open = 0;
};

TEST_F(cRegistryTest, EnumerateSectionsTurnsARunTimeErrorIntoItsOwnAndClosesTheKey) {
  ASSERT_TRUE(test::CreateRawKey(scratch.Backend(), kHkeyCurrentUser, kKey));
  BrokenListing broken(scratch.Backend());
  cRegistry failing(broken);
  failing.ClassKey(kHkeyCurrentUser);
  failing.SectionKey(kKey);
  std::vector<std::string> names;
  int32_t count = 0;

  const NumberedError error = RaisedBy([&] { failing.EnumerateSections(names, count); });
  EXPECT_EQ(error.Number(), kRegistryEnumerateError);
  EXPECT_EQ(error.Source(), kSource);
  EXPECT_EQ(error.Description(), "Overflow");
  EXPECT_EQ(broken.open, 0);
}

TEST_F(cRegistryTest, CreateExeAssociationRegistersClassVerbsAndIcon) {
  registry.CreateEXEAssociation("  C:\\Tools\\app.exe ", "App.Document", "App document", "appd", "",
                                true, "", false, "", true, "", 2);

  const auto text = [&](const std::string& key) {
    return ReadRaw(scratch.Backend(), kHkeyClassesRoot, key, "");
  };
  const std::string quoted = "\"C:\\Tools\\app.exe\"";
  EXPECT_EQ(text(".appd"), Text(reg::kSz, "App.Document"));
  EXPECT_EQ(text("App.Document"), Text(reg::kSz, "App document"));
  EXPECT_EQ(text("App.Document\\shell\\open"), Text(reg::kSz, "&Open"));
  EXPECT_EQ(text("App.Document\\shell\\open\\command"), Text(reg::kSz, quoted + " \"%1\""));
  EXPECT_EQ(text("App.Document\\shell\\print"), Text(reg::kSz, "&Print"));
  EXPECT_EQ(text("App.Document\\shell\\print\\command"), Text(reg::kSz, quoted + " /p \"%1\""));
  EXPECT_EQ(text("App.Document\\shell\\add"), Text(reg::kSz, "&Install appd"));
  EXPECT_EQ(text("App.Document\\shell\\add\\command"), Text(reg::kSz, quoted + " /a \"%1\""));
  EXPECT_FALSE(text("App.Document\\shell\\new"));
  EXPECT_EQ(text("App.Document\\DefaultIcon"), Text(reg::kSz, quoted + ",2"));
  EXPECT_EQ(registry.ClassKey(), kHkeyClassesRoot);
  EXPECT_EQ(registry.SectionKey(), "App.Document\\DefaultIcon");

  registry.CreateAdditionalEXEAssociations(
      "App.Document", {Variant(std::string("edit")), Variant(std::string("&Edit")),
                       Variant(quoted + " /e \"%1\"")});
  EXPECT_EQ(text("App.Document\\shell\\edit"), Text(reg::kSz, "&Edit"));
  EXPECT_EQ(text("App.Document\\shell\\edit\\command"), Text(reg::kSz, quoted + " /e \"%1\""));
}

TEST_F(cRegistryTest, CreateExeAssociationKeepsQuotesAndSkipsTheIconWhenAsked) {
  registry.CreateEXEAssociation("\"/opt/app\"", "Quoted", "Quoted class", "q", "View", false, "",
                                true, "Fresh", false, "", -1);
  const auto text = [&](const std::string& key) {
    return ReadRaw(scratch.Backend(), kHkeyClassesRoot, key, "");
  };
  EXPECT_EQ(text("Quoted\\shell\\open"), Text(reg::kSz, "View"));
  EXPECT_EQ(text("Quoted\\shell\\open\\command"), Text(reg::kSz, "\"/opt/app\" \"%1\""));
  EXPECT_EQ(text("Quoted\\shell\\new"), Text(reg::kSz, "Fresh"));
  EXPECT_FALSE(text("Quoted\\shell\\print"));
  EXPECT_FALSE(text("Quoted\\DefaultIcon"));
}

// The presets store keeps one object for the life of the process: it must follow the
// program's registry, not the one that was current when it was made.
TEST(cRegistryDefault, AnObjectKeptForLongFollowsTheProgramsRegistry) {
  cRegistry kept;
  kept.ClassKey(kHkeyCurrentUser);
  kept.SectionKey(kKey);
  kept.ValueKey("v");
  kept.ValueType(1);
  {
    test::ScratchRegistry first;
    kept.Value(Variant(std::string("first")));
    EXPECT_EQ(ReadRaw(first.Backend(), kHkeyCurrentUser, kKey, "v"),
              (RawValue{reg::kSz, Bytes(std::string("first") + '\0')}));
  }
  test::ScratchRegistry second;
  EXPECT_EQ(kept.Value(), Variant());
  kept.Value(Variant(std::string("second")));
  EXPECT_EQ(ReadRaw(second.Backend(), kHkeyCurrentUser, kKey, "v"),
            (RawValue{reg::kSz, Bytes(std::string("second") + '\0')}));
}

}  // namespace
}  // namespace hv
