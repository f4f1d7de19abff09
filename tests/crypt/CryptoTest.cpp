#include "crypt/Crypto.h"

#include <gtest/gtest.h>
#include <nettle/arcfour.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <tuple>
#include <vector>

#include "CryptTestData.h"
#include "crypt/CipherStreams.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

using test::RandomBytes;

// The base provider's key: five bytes of the password's digest and eleven zero bytes.
std::array<unsigned char, 16> KeyOf(const std::string& password) {
  const std::string digest = Crypto().HashMD5(password);
  std::array<unsigned char, 16> key{};
  std::copy_n(digest.begin(), 5, key.begin());
  return key;
}

// The encrypted form made with Nettle's arcfour and the key derived here: independent of
// the code under test apart from the digest.
std::string ReferenceEncrypt(const std::string& plain, const std::string& password) {
  const auto key = KeyOf(password);
  arcfour_ctx rc4;
  arcfour_set_key(&rc4, key.size(), key.data());
  std::string out = plain;
  auto* const bytes = reinterpret_cast<uint8_t*>(out.data());
  arcfour_crypt(&rc4, out.size(), bytes, bytes);
  return out + (plain.empty() ? "" : Crypto().HashMD5(plain));
}

TEST(CryptoTest, EncryptsAsTheReferenceAndBack) {
  std::string data = "hello";
  EXPECT_EQ(Crypto().DataCrypt(data, "secret", true), CryptStatus::kDone);
  EXPECT_EQ(Crypto::StrToHex(data),
            "67AF0E9668"
            "5D41402ABC4B2A76B9719D911017C592");

  const std::pair<std::string, std::string> cases[] = {
      {"", "secret"},
      {"x", "secret"},
      {std::string("\0\0\x01\xff\0abc\0", 9), "pw"},
      {"hello", " secret"},
      {"hello", std::string("se\0cret", 7)},
      {"hello", ""},
      {RandomBytes(16, 1), "k"},  // exactly one digest long
      {RandomBytes(3 * 1024 * 1024 + 7, 2), "long one"},
  };
  for (const auto& [plain, password] : cases) {
    SCOPED_TRACE(testing::Message() << plain.size() << " bytes, password of " << password.size());
    const int done = plain.empty() ? CryptStatus::kNothingDone : CryptStatus::kDone;
    data = plain;
    EXPECT_EQ(Crypto().DataCrypt(data, password, true), done);
    ASSERT_EQ(data, ReferenceEncrypt(plain, password));
    EXPECT_EQ(Crypto().DataCrypt(data, password, false), done);
    EXPECT_EQ(data, plain);
  }
}

// The cipher's own loop against Nettle's arcfour keyed alike, piece after piece of every
// length up to 300 and some long ones, so that pieces start at every position of the loop's
// eight-byte groups and at unaligned addresses.
TEST(CipherStreamTest, MatchesNettlesArcfourInPiecesOfAnyLength) {
  const auto key = KeyOf("pieces");
  arcfour_ctx reference;
  arcfour_set_key(&reference, key.size(), key.data());
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

TEST(CryptoTest, DecryptingChecksTheDigest) {
  constexpr int kRefused = 99;  // NumberedError 5 thrown
  const std::string encrypted = ReferenceEncrypt("attack at dawn", "right");
  std::string damaged = encrypted;
  damaged.back() = static_cast<char>(damaged.back() ^ 1);
  const std::string wrongKeyOutput = ReferenceEncrypt(encrypted.substr(0, 14), "wrong");
  // The data, the password, the status, and the data afterwards: the digest stripped, or
  // left as they were when refused.
  const std::tuple<std::string, std::string, int, std::string> cases[] = {
      {encrypted, "wrong", CryptStatus::kDigestMismatch, wrongKeyOutput.substr(0, 14)},
      {damaged, "right", CryptStatus::kDigestMismatch, "attack at dawn"},
      {Crypto().HashMD5(""), "pw", CryptStatus::kDone, ""},
      {"x", "pw", kRefused, "x"},
      {std::string(15, 'x'), "pw", kRefused, std::string(15, 'x')},
  };
  for (auto [data, password, status, result] : cases) {
    SCOPED_TRACE(data.size());
    try {
      EXPECT_EQ(Crypto().DataCrypt(data, password, false), status);
    } catch (const NumberedError& error) {
      EXPECT_EQ(status, kRefused);
      EXPECT_EQ(error.Number(), 5);
      EXPECT_EQ(error.Description(), "Invalid procedure call or argument");
    }
    EXPECT_EQ(data, result);
  }
}

TEST(CryptoTest, HashMD5InEveryForm) {
  const Crypto crypto;
  const std::string abc = "900150983CD24FB0D6963F7D28E17F72";
  EXPECT_EQ(crypto.HashMD5("abc", false, true), abc);
  EXPECT_EQ(crypto.HashMD5("abc", true, true), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Crypto::StrToHex(crypto.HashMD5("abc")), abc);
  EXPECT_EQ(crypto.HashMD5("abc", true, false), crypto.HashMD5("abc")) << "raw has no case";
  EXPECT_EQ(crypto.HashMD5(std::string(80, '7'), false, true),  // two blocks
            "F57CDD6B6E803F7B1B4208DAA2F9E64B");
  const std::vector<unsigned char> bytes = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(crypto.HashMD5ByteArray(bytes, 3, false, true), abc);
  EXPECT_EQ(crypto.HashMD5ByteArray(bytes, 0), crypto.HashMD5("abcd"));
  EXPECT_EQ(crypto.HashMD5ByteArray(bytes, 99), crypto.HashMD5("abcd")) << "never past the end";
  EXPECT_EQ(Crypto::StrToHex(std::string("\x0a\xff\x00", 3)), "0AFF00");
}

}  // namespace
}  // namespace hv
