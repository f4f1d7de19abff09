#include "crypt/Crypto.h"

#include <algorithm>
#include <cctype>

#include "crypt/CipherStreams.h"
#include "crypt/WipeSecret.h"
#include "ports/UserInterface.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

// The runtime's "invalid procedure call or argument", raised under the program's name.
constexpr long kInvalidArgument = 5;

std::span<const unsigned char> BytesOf(const std::string& text) {
  return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

std::string Present(const Digest& digest, bool lowerCase, bool toHex) {
  std::string raw(reinterpret_cast<const char*>(digest.data()), digest.size());
  if (!toHex) {
    return raw;
  }
  std::string hex = Crypto::StrToHex(raw);
  if (lowerCase) {
    std::transform(hex.begin(), hex.end(), hex.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  }
  return hex;
}

}  // namespace

std::string Crypto::HashMD5(const std::string& data, bool lowerCase, bool toHex) const {
  return HashMD5ByteArray(BytesOf(data), 0, lowerCase, toHex);
}

std::string Crypto::HashMD5ByteArray(std::span<const unsigned char> data, uint32_t dataLen,
                                     bool lowerCase, bool toHex) const {
  const std::size_t count =
      dataLen == 0 ? data.size() : std::min<std::size_t>(dataLen, data.size());
  Md5Stream hash;
  hash.Update(data.first(count));
  return Present(hash.Finish(), lowerCase, toHex);
}

std::string Crypto::StrToHex(const std::string& data) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(data.size() * 2);
  for (const unsigned char byte : data) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex;
}

int Crypto::DataCrypt(std::string& data, std::string password, bool encrypt) const {
  const SecretGuard wipePassword(password);
  if (data.empty()) {
    return CryptStatus::kNothingDone;
  }
  if (encrypt) {
    const std::string digest = HashMD5(data);
    EncryptDecrypt(data, password);
    data += digest;
    return CryptStatus::kDone;
  }
  if (data.size() < kDigestSize) {
    throw NumberedError(kInvalidArgument, kAppTitle, "Invalid procedure call or argument");
  }
  const std::string stored = data.substr(data.size() - kDigestSize);
  data.resize(data.size() - kDigestSize);
  EncryptDecrypt(data, password);
  return HashMD5(data) == stored ? CryptStatus::kDone : CryptStatus::kDigestMismatch;
}

void Crypto::EncryptDecrypt(std::string& data, const std::string& password) {
  CipherStream cipher(password);
  cipher.Apply({reinterpret_cast<unsigned char*>(data.data()), data.size()});
}

}  // namespace hv
