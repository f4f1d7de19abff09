#include "crypt/CipherStreams.h"

#include <nettle/arcfour.h>

#include <bit>
#include <cstring>

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
  arcfour_ctx schedule;
  arcfour_set_key(&schedule, key.size(), key.data());
  for (std::size_t n = 0; n < state_.size(); ++n) {
    state_[n] = schedule.S[n];
  }
  i_ = schedule.i;
  j_ = schedule.j;
  WipeBytes(&schedule, sizeof schedule);
  WipeBytes(key.data(), key.size());
  WipeBytes(digest.data(), digest.size());
}

CipherStream::~CipherStream() {
  WipeBytes(state_.data(), sizeof state_);
}

// RC4 as defined, with two changes that only make it faster: the cell the next step swaps
// first is read before this step's swap writes (and corrected when the swap wrote that very
// cell), so the read does not wait for the writes; and eight key bytes are gathered in a
// register and applied to eight data bytes at once.
void CipherStream::Apply(std::span<unsigned char> bytes) {
  uint32_t* const s = state_.data();
  uint32_t i = i_;
  uint32_t j = j_;
  uint32_t si = s[(i + 1) & 0xFF];
  const auto nextKeyByte = [&]() -> uint64_t {
    i = (i + 1) & 0xFF;
    j = (j + si) & 0xFF;
    const uint32_t sj = s[j];
    const uint32_t ahead = s[(i + 1) & 0xFF];
    s[i] = sj;
    s[j] = si;
    const uint32_t keyByte = s[(si + sj) & 0xFF];
    si = j == ((i + 1) & 0xFF) ? si : ahead;
    return keyByte;
  };
  unsigned char* data = bytes.data();
  std::size_t left = bytes.size();
  for (; left >= 8; left -= 8, data += 8) {
    uint64_t stream = 0;
    for (int k = 0; k < 8; ++k) {
      const int shift = std::endian::native == std::endian::little ? 8 * k : 56 - 8 * k;
      stream |= nextKeyByte() << shift;
    }
    uint64_t word;
    std::memcpy(&word, data, sizeof word);
    word ^= stream;
    std::memcpy(data, &word, sizeof word);
  }
  for (; left > 0; --left, ++data) {
    *data = static_cast<unsigned char>(*data ^ nextKeyByte());
  }
  i_ = i;
  j_ = j;
}

}  // namespace hv
