#include "crypt/StrongHeader.h"

#include <sodium.h>

#include <algorithm>

namespace hv {
namespace {

constexpr std::array<unsigned char, 8> kMagic = {'H', 'V', 'S', 'T', 'R', 'O', 'N', 'G'};
constexpr unsigned char kVersion = 1;
constexpr std::size_t kVersionOffset = 8;
constexpr std::size_t kPassesOffset = 9;
constexpr std::size_t kMemoryOffset = 13;
constexpr std::size_t kSaltOffset = 21;
constexpr std::size_t kStreamHeaderOffset = kSaltOffset + kStrongSaltSize;

// Several times the default on both counts: room to raise the default later.
constexpr uint32_t kMostPasses = 10;
constexpr uint64_t kMostMemory = uint64_t{1} << 30;

template <typename Unsigned>
void PutLittleEndian(Unsigned value, unsigned char* out) {
  for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
    out[i] = static_cast<unsigned char>(value >> (8 * i));
  }
}

template <typename Unsigned>
Unsigned GetLittleEndian(const unsigned char* in) {
  Unsigned value = 0;
  for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
    value |= static_cast<Unsigned>(in[i]) << (8 * i);
  }
  return value;
}

}  // namespace

KeyCost DefaultKeyCost() {
  return {.passes = 2, .memoryBytes = uint64_t{256} << 20};
}

bool IsSaneKeyCost(const KeyCost& cost) {
  return cost.passes >= crypto_pwhash_argon2id_OPSLIMIT_MIN && cost.passes <= kMostPasses &&
         cost.memoryBytes >= crypto_pwhash_argon2id_MEMLIMIT_MIN && cost.memoryBytes <= kMostMemory;
}

StrongHeaderBytes SerializeStrongHeader(const StrongHeader& header) {
  StrongHeaderBytes bytes{};
  std::ranges::copy(kMagic, bytes.begin());
  bytes[kVersionOffset] = kVersion;
  PutLittleEndian(header.cost.passes, bytes.data() + kPassesOffset);
  PutLittleEndian(header.cost.memoryBytes, bytes.data() + kMemoryOffset);
  std::ranges::copy(header.salt, bytes.begin() + kSaltOffset);
  std::ranges::copy(header.streamHeader, bytes.begin() + kStreamHeaderOffset);
  return bytes;
}

std::optional<StrongHeader> ParseStrongHeader(const StrongHeaderBytes& bytes) {
  if (!std::equal(kMagic.begin(), kMagic.end(), bytes.begin()) ||
      bytes[kVersionOffset] != kVersion) {
    return std::nullopt;
  }
  StrongHeader header{};
  header.cost.passes = GetLittleEndian<uint32_t>(bytes.data() + kPassesOffset);
  header.cost.memoryBytes = GetLittleEndian<uint64_t>(bytes.data() + kMemoryOffset);
  if (!IsSaneKeyCost(header.cost)) {
    return std::nullopt;
  }
  std::copy_n(bytes.begin() + kSaltOffset, kStrongSaltSize, header.salt.begin());
  std::copy_n(bytes.begin() + kStreamHeaderOffset, kStreamHeaderSize, header.streamHeader.begin());
  return header;
}

bool DeriveStrongKey(const std::string& password, const StrongHeader& header,
                     std::span<unsigned char, kStrongKeySize> key) {
  return SodiumReady() && IsSaneKeyCost(header.cost) &&
         crypto_pwhash(key.data(), key.size(), password.data(), password.size(), header.salt.data(),
                       header.cost.passes, static_cast<std::size_t>(header.cost.memoryBytes),
                       crypto_pwhash_ALG_ARGON2ID13) == 0;
}

bool SodiumReady() {
  static const bool ready = sodium_init() >= 0;
  return ready;
}

}  // namespace hv
