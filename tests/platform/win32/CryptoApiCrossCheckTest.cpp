// The program's own MD5 and RC4 against the system's CryptoAPI with the base provider:
// encrypted files must be the same bytes whichever of the two made them.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "crypt/Crypto.h"
#include "platform/win32/WindowsApi.h"
// wincrypt.h needs the system's types first.
#include <wincrypt.h>

namespace hv {
namespace {

// One base-provider context, released with the object.
class BaseProvider {
 public:
  BaseProvider() {
    if (!CryptAcquireContextA(&context_, nullptr, "Microsoft Base Cryptographic Provider v1.0",
                              PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
      context_ = 0;
    }
  }
  ~BaseProvider() {
    if (context_ != 0) {
      CryptReleaseContext(context_, 0);
    }
  }
  BaseProvider(const BaseProvider&) = delete;
  BaseProvider& operator=(const BaseProvider&) = delete;

  bool Available() const { return context_ != 0; }

  // MD5 of data as raw bytes; empty on failure.
  std::string Md5(const std::string& data) const {
    HCRYPTHASH hash = 0;
    std::string digest;
    if (CryptCreateHash(context_, CALG_MD5, 0, 0, &hash)) {
      BYTE value[16] = {};
      DWORD size = sizeof value;
      if (CryptHashData(hash, Bytes(data), static_cast<DWORD>(data.size()), 0) &&
          CryptGetHashParam(hash, HP_HASHVAL, value, &size, 0)) {
        digest.assign(reinterpret_cast<const char*>(value), size);
      }
      CryptDestroyHash(hash);
    }
    return digest;
  }

  // RC4 of data under the key the provider derives from the password's MD5 hash, with
  // flags 0; empty on failure.
  std::string Rc4(std::string data, const std::string& password) const {
    HCRYPTHASH hash = 0;
    HCRYPTKEY key = 0;
    bool done = false;
    if (CryptCreateHash(context_, CALG_MD5, 0, 0, &hash)) {
      if (CryptHashData(hash, Bytes(password), static_cast<DWORD>(password.size()), 0) &&
          CryptDeriveKey(context_, CALG_RC4, hash, 0, &key)) {
        DWORD length = static_cast<DWORD>(data.size());
        done =
            CryptEncrypt(key, 0, TRUE, 0, reinterpret_cast<BYTE*>(data.data()), &length, length) &&
            length == data.size();
        CryptDestroyKey(key);
      }
      CryptDestroyHash(hash);
    }
    return done ? data : std::string();
  }

 private:
  static const BYTE* Bytes(const std::string& data) {
    return reinterpret_cast<const BYTE*>(data.data());
  }

  HCRYPTPROV context_ = 0;
};

std::string RandomBytes(std::mt19937& random, size_t length) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::string bytes(length, '\0');
  for (char& c : bytes) {
    c = static_cast<char>(byte(random));
  }
  return bytes;
}

TEST(CryptoApiCrossCheck, DataCryptEqualsTheBaseProvider) {
  const BaseProvider provider;
  ASSERT_TRUE(provider.Available());
  std::mt19937 random(20261206);
  std::uniform_int_distribution<size_t> passwordLength(0, 40);
  for (const size_t length : {size_t{1}, size_t{15}, size_t{16}, size_t{17}, size_t{255},
                              size_t{4096}, size_t{65537}, size_t{300000}}) {
    for (int round = 0; round < 3; ++round) {
      const std::string plain = RandomBytes(random, length);
      const std::string password = RandomBytes(random, passwordLength(random));
      SCOPED_TRACE("length " + std::to_string(length) + ", password of " +
                   std::to_string(password.size()) + " bytes");

      const std::string expected = provider.Rc4(plain, password) + provider.Md5(plain);
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
}

// The digests alone agree for texts of every kind, the empty one included.
TEST(CryptoApiCrossCheck, Md5EqualsTheBaseProvider) {
  const BaseProvider provider;
  ASSERT_TRUE(provider.Available());
  std::mt19937 random(7);
  std::vector<std::string> texts = {"", "a", "abc", std::string(64, 'x'), std::string(1000, '\0')};
  for (const size_t length : {size_t{55}, size_t{56}, size_t{63}, size_t{64}, size_t{100000}}) {
    texts.push_back(RandomBytes(random, length));
  }
  for (const std::string& text : texts) {
    EXPECT_EQ(Crypto().HashMD5(text), provider.Md5(text)) << text.size() << " bytes";
  }
}

}  // namespace
}  // namespace hv
