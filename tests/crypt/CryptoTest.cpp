#include "crypt/Crypto.h"

#include <gtest/gtest.h>
#include <nettle/arcfour.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

#include "CryptTestData.h"
#include "crypt/CipherStreams.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

using test::RandomBytes;

// Nettle's arcfour keyed as the base provider keys it: five bytes of the password's digest
// and eleven zero bytes.
arcfour_ctx ReferenceCipher(const std::string& password) {
  const std::string digest = Crypto().HashMD5(password);
  std::array<unsigned char, 16> key{};
  std::copy_n(digest.begin(), 5, key.begin());
  arcfour_ctx rc4;
  arcfour_set_key(&rc4, key.size(), key.data());
  return rc4;
}

std::string ReferenceEncrypt(const std::string& plain, const std::string& password) {
  arcfour_ctx rc4 = ReferenceCipher(password);
  std::string out = plain;
  auto* const bytes = reinterpret_cast<uint8_t*>(out.data());
  arcfour_crypt(&rc4, out.size(), bytes, bytes);
  return out + (plain.empty() ? "" : Crypto().HashMD5(plain));
}

TEST(CryptoTest, EncryptsAsTheReferenceAndBack) {
  std::string data = "hello";
  EXPECT_EQ(Crypto().DataCrypt(data, "secret", true), CryptStatus::kDone);
  EXPECT_EQ(Crypto::StrToHex(data), "67AF0E96685D41402ABC4B2A76B9719D911017C592");

  const std::pair<std::string, std::string> cases[] = {
      {"", "secret"},
      {std::string("\0\0\x01\xff\0abc\0", 9), "pw"},
      {"hello", " secret"},
      {RandomBytes(3 * 1024 * 1024 + 7, 2), "long one"},
  };
  for (const auto& [plain, password] : cases) {
    SCOPED_TRACE(testing::Message() << plain.size() << " bytes, password '" << password << "'");
    const int done = plain.empty() ? CryptStatus::kNothingDone : CryptStatus::kDone;
    data = plain;
    EXPECT_EQ(Crypto().DataCrypt(data, password, true), done);
    ASSERT_EQ(data, ReferenceEncrypt(plain, password));
    EXPECT_EQ(Crypto().DataCrypt(data, password, false), done);
    EXPECT_EQ(data, plain);
  }
}

// The cipher's own loop against Nettle's, piece after piece of every length up to 300 and
// some long ones, so that pieces start at every position of the loop's eight-byte groups
// and at unaligned addresses.
TEST(CipherStreamTest, MatchesNettlesArcfourInPiecesOfAnyLength) {
  arcfour_ctx reference = ReferenceCipher("pieces");
  CipherStream cipher("pieces");
  std::vector<std::size_t> lengths(301);
  std::iota(lengths.begin(), lengths.end(), 0);
  lengths.insert(lengths.end(), {4099, 65536, 65541});
  for (const std::size_t length : lengths) {
    const std::size_t offset = length % 8;
    const std::string plain = RandomBytes(offset + length + 8, static_cast<unsigned>(length));
    std::string expected = plain;
    auto* const piece = reinterpret_cast<uint8_t*>(expected.data()) + offset;
    arcfour_crypt(&reference, length, piece, piece);
    std::string actual = plain;
    cipher.Apply({reinterpret_cast<unsigned char*>(actual.data()) + offset, length});
    ASSERT_EQ(actual, expected) << "length " << length;
  }
}

// A wrong password decrypts to other bytes whose digest disagrees; fewer bytes than a
// digest are refused and left as they were.
TEST(CryptoTest, DecryptingChecksTheDigest) {
  std::string data = ReferenceEncrypt("attack at dawn", "right");
  const std::string wrongKeyOutput = ReferenceEncrypt(data.substr(0, 14), "wrong");
  EXPECT_EQ(Crypto().DataCrypt(data, "wrong", false), CryptStatus::kDigestMismatch);
  EXPECT_EQ(data, wrongKeyOutput.substr(0, 14));

  std::string tooShort(15, 'x');
  try {
    Crypto().DataCrypt(tooShort, "pw", false);
    ADD_FAILURE() << "15 bytes decrypted";
  } catch (const NumberedError& error) {
    EXPECT_EQ(error.Number(), 5);
    EXPECT_EQ(error.Description(), "Invalid procedure call or argument");
  }
  EXPECT_EQ(tooShort, std::string(15, 'x'));
}

TEST(CryptoTest, HashMD5InEveryForm) {
  const Crypto crypto;
  EXPECT_EQ(crypto.HashMD5("abc", true, true), "900150983cd24fb0d6963f7d28e17f72");
  const std::vector<unsigned char> bytes = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(crypto.HashMD5ByteArray(bytes, 3, false, true), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(crypto.HashMD5ByteArray(bytes, 99), crypto.HashMD5("abcd"));  // never past the end
}

}  // namespace
}  // namespace hv
