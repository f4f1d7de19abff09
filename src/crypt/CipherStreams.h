#pragma once

#include <nettle/md5.h>

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace hv {

inline constexpr std::size_t kDigestSize = 16;
using Digest = std::array<unsigned char, kDigestSize>;

// MD5 over bytes that arrive in pieces.
class Md5Stream {
 public:
  Md5Stream();
  ~Md5Stream();
  Md5Stream(const Md5Stream&) = delete;
  Md5Stream& operator=(const Md5Stream&) = delete;
  void Update(std::span<const unsigned char> bytes);
  // The digest of everything added; the stream starts over afterwards.
  Digest Finish();

 private:
  md5_ctx context_;
};

// The RC4 key stream as the platform's base provider derives it from a password: the first
// five bytes of the password's MD5 digest followed by eleven zero bytes. Encrypting and
// decrypting are the same operation; pieces may be of any size, the output is the same as
// for the whole data in one call. The key schedule is Nettle's; the stream itself is made
// here, about twice as fast as Nettle's byte loop (see Apply), since it bounds how fast a
// file is encrypted.
class CipherStream {
 public:
  explicit CipherStream(const std::string& password);
  ~CipherStream();
  CipherStream(const CipherStream&) = delete;
  CipherStream& operator=(const CipherStream&) = delete;

  // Transforms the bytes in place.
  void Apply(std::span<unsigned char> bytes);

 private:
  // The permutation in 32-bit cells, which the processor reads and writes faster than bytes.
  std::array<uint32_t, 256> state_{};
  uint32_t i_ = 0;
  uint32_t j_ = 0;
};

}  // namespace hv
