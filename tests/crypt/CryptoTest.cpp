#include "crypt/Crypto.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "util/NumberedError.h"

namespace hv {
namespace {

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string data(size, '\0');
  for (char& c : data) {
    c = static_cast<char>(byte(generator));
  }
  return data;
}

// RC4 written out from its definition, keyed as the base provider keys it: five bytes of
// the password's digest and eleven zero bytes. Independent of the code under test apart
// from the digest.
std::string ReferenceEncrypt(const std::string& plain, const std::string& password) {
  const std::string digest = Crypto().HashMD5(password);
  std::array<unsigned char, 16> key{};
  for (int i = 0; i < 5; ++i) {
    key[i] = static_cast<unsigned char>(digest[i]);
  }
  std::array<unsigned char, 256> s{};
  for (int i = 0; i < 256; ++i) {
    s[i] = static_cast<unsigned char>(i);
  }
  for (int i = 0, j = 0; i < 256; ++i) {
    j = (j + s[i] + key[i % key.size()]) & 0xFF;
    std::swap(s[i], s[j]);
  }
  std::string out = plain;
  for (std::size_t n = 0, i = 0, j = 0; n < out.size(); ++n) {
    i = (i + 1) & 0xFF;
    j = (j + s[i]) & 0xFF;
    std::swap(s[i], s[j]);
    out[n] = static_cast<char>(out[n] ^ s[(s[i] + s[j]) & 0xFF]);
  }
  return out + (plain.empty() ? "" : Crypto().HashMD5(plain));
}

TEST(CryptoTest, KnownAnswerOfTheBaseProvider) {
  std::string data = "hello";
  EXPECT_EQ(Crypto().DataCrypt(data, "secret", true), CryptStatus::kDone);
  EXPECT_EQ(Crypto::StrToHex(data),
            "67AF0E9668"
            "5D41402ABC4B2A76B9719D911017C592");
  EXPECT_EQ(Crypto().DataCrypt(data, "secret", false), CryptStatus::kDone);
  EXPECT_EQ(data, "hello");
}

struct VectorCase {
  std::string name;
  std::string plain;
  std::string password;
};

class CryptoVectorTest : public testing::TestWithParam<VectorCase> {};

TEST_P(CryptoVectorTest, MatchesTheReferenceAndRoundTrips) {
  const VectorCase& c = GetParam();
  std::string data = c.plain;
  const int status = Crypto().DataCrypt(data, c.password, true);
  if (c.plain.empty()) {
    EXPECT_EQ(status, CryptStatus::kNothingDone);
    EXPECT_TRUE(data.empty());
    return;
  }
  EXPECT_EQ(status, CryptStatus::kDone);
  ASSERT_EQ(data.size(), c.plain.size() + 16);
  EXPECT_EQ(data, ReferenceEncrypt(c.plain, c.password));
  EXPECT_EQ(Crypto().DataCrypt(data, c.password, false), CryptStatus::kDone);
  EXPECT_EQ(data, c.plain);
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, CryptoVectorTest,
    testing::Values(VectorCase{"Empty", "", "secret"}, VectorCase{"OneByte", "x", "secret"},
                    VectorCase{"BinaryWithZeros", std::string("\0\0\x01\xff\0abc\0", 9), "pw"},
                    VectorCase{"LeadingBlankPassword", "hello", " secret"},
                    VectorCase{"PasswordWithZeroByte", "hello", std::string("se\0cret", 7)},
                    VectorCase{"EmptyPassword", "hello", ""},
                    VectorCase{"ExactlyOneDigestLong", RandomBytes(16, 1), "k"},
                    VectorCase{"LongFile", RandomBytes(3 * 1024 * 1024 + 7, 2), "long one"}),
    [](const testing::TestParamInfo<VectorCase>& info) { return info.param.name; });

TEST(CryptoTest, WrongPasswordGivesMismatchAndOtherBytes) {
  std::string data = "attack at dawn";
  Crypto().DataCrypt(data, "right", true);
  EXPECT_EQ(Crypto().DataCrypt(data, "wrong", false), CryptStatus::kDigestMismatch);
  EXPECT_EQ(data.size(), 14u) << "the digest is stripped";
  EXPECT_NE(data, "attack at dawn");
}

TEST(CryptoTest, DamagedDigestGivesMismatch) {
  std::string data = "attack at dawn";
  Crypto().DataCrypt(data, "right", true);
  data.back() = static_cast<char>(data.back() ^ 1);
  EXPECT_EQ(Crypto().DataCrypt(data, "right", false), CryptStatus::kDigestMismatch);
}

TEST(CryptoTest, DecryptingLessThanADigestIsAnError) {
  for (const std::size_t size : {1u, 15u}) {
    std::string data(size, 'x');
    try {
      Crypto().DataCrypt(data, "pw", false);
      ADD_FAILURE() << "no error for " << size << " bytes";
    } catch (const NumberedError& error) {
      EXPECT_EQ(error.Number(), 5);
      EXPECT_EQ(error.Description(), "Invalid procedure call or argument");
    }
    EXPECT_EQ(data, std::string(size, 'x')) << "data left as it was";
  }
}

TEST(CryptoTest, DecryptingOnlyADigestGivesEmptyData) {
  std::string data = Crypto().HashMD5("");
  EXPECT_EQ(Crypto().DataCrypt(data, "pw", false), CryptStatus::kDone);
  EXPECT_TRUE(data.empty());
}

struct HashCase {
  std::string input;
  std::string hex;
};

TEST(CryptoTest, HashMD5StandardValues) {
  const std::vector<HashCase> cases = {
      {"", "D41D8CD98F00B204E9800998ECF8427E"},
      {"a", "0CC175B9C0F1B6A831C399E269772661"},
      {"abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
      {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57EDF4A22BE3C955AC49DA2E2107B67A"},
  };
  const Crypto crypto;
  for (const HashCase& c : cases) {
    EXPECT_EQ(crypto.HashMD5(c.input, false, true), c.hex) << c.input;
    std::string lower = c.hex;
    for (char& ch : lower) {
      ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    EXPECT_EQ(crypto.HashMD5(c.input, true, true), lower) << c.input;
    EXPECT_EQ(crypto.HashMD5(c.input), FromHex(c.hex)) << c.input;
    EXPECT_EQ(crypto.HashMD5(c.input, true, false), FromHex(c.hex)) << "raw ignores LowerCase";
  }
}

TEST(CryptoTest, HashMD5ByteArrayCountsBytes) {
  const std::vector<unsigned char> bytes = {'a', 'b', 'c', 'd'};
  const Crypto crypto;
  EXPECT_EQ(crypto.HashMD5ByteArray(bytes, 3, false, true), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(crypto.HashMD5ByteArray(bytes, 0, false, true), crypto.HashMD5("abcd", false, true));
  EXPECT_EQ(crypto.HashMD5ByteArray(bytes, 99, false, true), crypto.HashMD5("abcd", false, true))
      << "never past the end";
}

TEST(CryptoTest, StrToHexTwoUpperCaseDigitsPerByte) {
  EXPECT_EQ(Crypto::StrToHex(std::string("\x01\xab", 2)), "01AB");
  EXPECT_EQ(Crypto::StrToHex(std::string("\x0a\xff\x00", 3)), "0AFF00");
  EXPECT_EQ(Crypto::StrToHex(""), "");
}

}  // namespace
}  // namespace hv
