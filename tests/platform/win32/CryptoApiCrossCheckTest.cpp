// The program's own MD5 and RC4 against the system's CryptoAPI with the base provider:
// encrypted files must be the same bytes whichever of the two made them.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "crypt/Crypto.h"
#include "platform/win32/WindowsApi.h"
// wincrypt.h needs the system's types first.
#include <wincrypt.h>

namespace hv {
namespace {

const BYTE* Bytes(const std::string& data) {
  return reinterpret_cast<const BYTE*>(data.data());
}

// RC4 of data under the key the base provider derives from the password's MD5 hash with
// flags 0, followed by the MD5 digest of data; empty on failure.
std::string ProviderEncrypt(HCRYPTPROV provider, const std::string& data,
                            const std::string& password) {
  std::string encrypted = data;
  BYTE digest[16] = {};
  DWORD digestSize = sizeof digest;
  HCRYPTHASH passwordHash = 0;
  HCRYPTHASH dataHash = 0;
  HCRYPTKEY key = 0;
  DWORD length = static_cast<DWORD>(data.size());
  const bool done =
      CryptCreateHash(provider, CALG_MD5, 0, 0, &passwordHash) &&
      CryptHashData(passwordHash, Bytes(password), static_cast<DWORD>(password.size()), 0) &&
      CryptDeriveKey(provider, CALG_RC4, passwordHash, 0, &key) &&
      CryptEncrypt(key, 0, TRUE, 0, reinterpret_cast<BYTE*>(encrypted.data()), &length, length) &&
      CryptCreateHash(provider, CALG_MD5, 0, 0, &dataHash) &&
      CryptHashData(dataHash, Bytes(data), static_cast<DWORD>(data.size()), 0) &&
      CryptGetHashParam(dataHash, HP_HASHVAL, digest, &digestSize, 0);
  CryptDestroyHash(passwordHash);  // a handle never made is refused harmlessly
  CryptDestroyHash(dataHash);
  CryptDestroyKey(key);
  return done ? encrypted + std::string(reinterpret_cast<const char*>(digest), digestSize) : "";
}

std::string RandomBytes(std::mt19937& random, size_t length) {
  std::string bytes(length, '\0');
  std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(random()); });
  return bytes;
}

TEST(CryptoApiCrossCheck, DataCryptEqualsTheBaseProvider) {
  HCRYPTPROV provider = 0;
  ASSERT_TRUE(CryptAcquireContextA(&provider, nullptr, "Microsoft Base Cryptographic Provider v1.0",
                                   PROV_RSA_FULL, CRYPT_VERIFYCONTEXT));
  std::mt19937 random(20261206);
  std::uniform_int_distribution<size_t> passwordLength(0, 40);
  for (const size_t length : {size_t{1}, size_t{17}, size_t{65537}, size_t{300000}}) {
    for (int round = 0; round < 3; ++round) {
      const std::string plain = RandomBytes(random, length);
      const std::string password = RandomBytes(random, passwordLength(random));
      SCOPED_TRACE("length " + std::to_string(length) + ", password of " +
                   std::to_string(password.size()) + " bytes");

      const std::string expected = ProviderEncrypt(provider, plain, password);
      ASSERT_EQ(expected.size(), length + 16) << "the provider failed";

      std::string data = plain;
      ASSERT_EQ(Crypto().DataCrypt(data, password, true), CryptStatus::kDone);
      EXPECT_EQ(Crypto::StrToHex(data), Crypto::StrToHex(expected));

      // And what the provider made, the program takes back.
      std::string back = expected;
      EXPECT_EQ(Crypto().DataCrypt(back, password, false), CryptStatus::kDone);
      EXPECT_EQ(back, plain);
    }
  }
  CryptReleaseContext(provider, 0);
}

}  // namespace
}  // namespace hv
