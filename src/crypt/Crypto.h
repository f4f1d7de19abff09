#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace hv {

// Results of Crypto::DataCrypt.
namespace CryptStatus {
constexpr int kDone = -1;
constexpr int kDigestMismatch = 1;  // decrypted, but the digest disagrees
constexpr int kNothingDone = 0;
}  // namespace CryptStatus

// MD5 digests and the password-keyed RC4 transformation that encrypted files are made of.
// Strings carry bytes, one character per byte.
class Crypto {
 public:
  // The digest of data: 16 raw bytes, or with toHex 32 hexadecimal digits, upper case
  // unless lowerCase.
  std::string HashMD5(const std::string& data, bool lowerCase = false, bool toHex = false) const;

  // As HashMD5, over the first dataLen bytes of data (0: all of it; never past its end).
  std::string HashMD5ByteArray(std::span<const unsigned char> data, uint32_t dataLen = 0,
                               bool lowerCase = false, bool toHex = false) const;

  // Two upper-case hexadecimal digits per byte.
  static std::string StrToHex(const std::string& data);

  // Encrypting: data becomes the RC4 output followed by the raw digest of the plain bytes.
  // Decrypting: the trailing digest is stripped, the rest decrypted and its digest checked.
  // Returns CryptStatus: kDone, kDigestMismatch (decrypting only) or kNothingDone for empty
  // data. Throws NumberedError when asked to decrypt fewer bytes than a digest.
  int DataCrypt(std::string& data, std::string password, bool encrypt) const;

 private:
  static void EncryptDecrypt(std::string& data, const std::string& password);
};

}  // namespace hv
