#include "crypt/CipherStreams.h"

#include "crypt/WipeSecret.h"

namespace hv {
namespace {

// The base provider's default RC4 key: 40 bits taken from the digest, zero salt after.
constexpr std::size_t kKeyBytes = 16;
constexpr std::size_t kEffectiveKeyBytes = 5;

}  // namespace

Md5Stream::Md5Stream() {
  md5_init(&context_);
}

// The buffered block may hold a password's bytes.
Md5Stream::~Md5Stream() {
  WipeBytes(&context_, sizeof context_);
}

void Md5Stream::Update(std::span<const unsigned char> bytes) {
  md5_update(&context_, bytes.size(), bytes.data());
}

Digest Md5Stream::Finish() {
  Digest digest{};
  md5_digest(&context_, digest.size(), digest.data());
  return digest;
}

CipherStream::CipherStream(const std::string& password) {
  Md5Stream hash;
  hash.Update({reinterpret_cast<const unsigned char*>(password.data()), password.size()});
  Digest digest = hash.Finish();
  std::array<unsigned char, kKeyBytes> key{};
  for (std::size_t i = 0; i < kEffectiveKeyBytes; ++i) {
    key[i] = digest[i];
  }
  arcfour_set_key(&context_, key.size(), key.data());
  WipeBytes(key.data(), key.size());
  WipeBytes(digest.data(), digest.size());
}

CipherStream::~CipherStream() {
  WipeBytes(&context_, sizeof context_);
}

void CipherStream::Apply(std::span<unsigned char> bytes) {
  arcfour_crypt(&context_, bytes.size(), bytes.data(), bytes.data());
}

}  // namespace hv
