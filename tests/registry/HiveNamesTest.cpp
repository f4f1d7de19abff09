#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "HiveTestSupport.h"
#include "RawRegistryValues.h"
#include "platform/posix/RegistryHive.h"

namespace hv {
namespace {

using test::Bytes;
using test::CreateRawKey;
using test::RawValue;
using test::ReadRaw;
using test::SqliteRegistryTest;
using test::WriteRaw;
using NameList = std::vector<std::string>;

// Two spellings and whether the hive takes them for one name: the platform's registry
// folds the case of every letter (simple folding: one letter for one); bytes that are not
// UTF-8 compare exactly.
struct NamePair {
  const char* what;
  std::string first;
  std::string second;
  bool same;
};

const NamePair kPairs[] = {
    {"umlaut", "\xC3\x84rger", "\xC3\xA4rger", true},
    {"other umlaut", "\xC3\xA4rger", "\xC3\xB6rger", false},
    {"sharp s against ss",
     "stra\xC3\x9F"
     "e",
     "STRASSE", false},
    {"capital and small sharp s", "\xE1\xBA\x9E", "\xC3\x9F", true},
    {"capital and small sigma", "\xCE\xA3", "\xCF\x83", true},
    {"final and small sigma", "\xCF\x82", "\xCF\x83", true},
    {"Greek word with accent and final sigma", "\xCE\x86\xCE\xA4\xCE\x9B\xCE\x91\xCE\xA3",
     "\xCE\xAC\xCF\x84\xCE\xBB\xCE\xB1\xCF\x82", true},
    {"Cyrillic", "\xD0\x9C\xD0\x9E\xD0\xA1\xD0\x9A\xD0\x92\xD0\x90",
     "\xD0\xBC\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0", true},
    {"dotless i against capital I", "\xC4\xB1", "I", false},
    {"dotless i against small i", "\xC4\xB1", "i", false},
    {"dotted capital I against i", "\xC4\xB0", "i", false},
    {"Kelvin sign", "\xE2\x84\xAA", "k", true},
    {"ASCII and umlauts mixed", "Mein \xC3\x84rger", "mEIN \xC3\xA4RGER", true},
    {"Latin-1 byte amid ASCII", "caf\xE9", "CAF\xE9", true},
    {"Latin-1 bytes of two cases", "caf\xE9", "CAF\xC9", false},
    {"stray byte before an umlaut", "\xFF\xC3\x84", "\xFF\xC3\xA4", true},
    {"cut sequence against the whole letter", "\xC3", "\xC3\xA4", false},
};

TEST_F(SqliteRegistryTest, KeyNamesFoldEveryLetterAndKeepTheirFirstSpelling) {
  for (const NamePair& pair : kPairs) {
    SCOPED_TRACE(pair.what);
    const std::string parent = std::string("Keys\\") + pair.what;
    ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, parent + "\\" + pair.first, "v", reg::kSz,
                         Bytes("first")));
    ASSERT_TRUE(CreateRawKey(*hive, kHkeyCurrentUser, parent + "\\" + pair.second));

    EXPECT_EQ(Names(parent, true),
              (pair.same ? NameList{pair.first} : NameList{pair.first, pair.second}));
    const std::optional<RawValue> throughSecond =
        ReadRaw(*hive, kHkeyCurrentUser, parent + "\\" + pair.second, "v");
    EXPECT_EQ(throughSecond.has_value(), pair.same);
  }
}

TEST_F(SqliteRegistryTest, ValueNamesFoldEveryLetterAndKeepTheirFirstSpelling) {
  for (const NamePair& pair : kPairs) {
    SCOPED_TRACE(pair.what);
    const std::string key = std::string("Values\\") + pair.what;
    ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, key, pair.first, reg::kSz, Bytes("1")));
    ASSERT_TRUE(WriteRaw(*hive, kHkeyCurrentUser, key, pair.second, reg::kSz, Bytes("2")));

    EXPECT_EQ(Names(key, false),
              (pair.same ? NameList{pair.first} : NameList{pair.first, pair.second}));
    EXPECT_EQ(ReadRaw(*hive, kHkeyCurrentUser, key, pair.first),
              (RawValue{reg::kSz, Bytes(pair.same ? "2" : "1")}));
    const RegKey handle = Open(key);
    EXPECT_EQ(hive->DeleteValue(handle, pair.second.c_str()), reg::kSuccess);
    hive->CloseKey(handle);
    EXPECT_EQ(ReadRaw(*hive, kHkeyCurrentUser, key, pair.first).has_value(), !pair.same);
  }
}

// A handle outlives its key, in this copy of the program or in another one; a key made
// afterwards must never take the deleted key's place behind the handle.
TEST_F(SqliteRegistryTest, AHandleToADeletedKeyNeverReachesAKeyMadeAfterIt) {
  for (const bool otherCopy : {false, true}) {
    SCOPED_TRACE(otherCopy ? "deleted by another copy" : "deleted by this copy");
    const std::unique_ptr<RegistryBackend> other =
        otherCopy ? OpenRegistryHive(Path()).backend : nullptr;
    RegistryBackend& deleter = otherCopy ? *other : *hive;
    ASSERT_TRUE(CreateRawKey(*hive, kHkeyCurrentUser, "Software\\Victim"));
    const RegKey victim = Open("Software\\Victim");
    ASSERT_EQ(deleter.DeleteKey(kHkeyCurrentUser, "Software\\Victim"), reg::kSuccess);
    ASSERT_TRUE(CreateRawKey(deleter, kHkeyCurrentUser, "Software\\Other"));

    const std::vector<uint8_t> data = Bytes("x");
    EXPECT_EQ(hive->SetValueEx(victim, "v", reg::kSz, data.data(), 1), reg::kKeyDeleted);
    RegKey sub = 0;
    EXPECT_EQ(hive->CreateKeyEx(victim, "Sub", reg::kAllSpecificRights, &sub), reg::kKeyDeleted);
    uint32_t size = 0;
    EXPECT_EQ(hive->QueryValueEx(victim, "v", nullptr, nullptr, &size), reg::kKeyDeleted);
    EXPECT_EQ(Names("Software\\Other", false), NameList{});
    EXPECT_EQ(Names("Software\\Other", true), NameList{});

    hive->CloseKey(victim);
    ASSERT_EQ(hive->DeleteKey(kHkeyCurrentUser, "Software\\Other"), reg::kSuccess);
  }
}

}  // namespace
}  // namespace hv
