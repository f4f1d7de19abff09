#include "fileio/FillRandom.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <random>

namespace hv {
namespace {

// The bytes are r * 200 rounded half to even for r uniform in [0, 1): 0 and 200 take half
// a step each, every other value a whole one. So a uniform choice among 400 half-steps k
// gives the byte (k + 1) / 2.
constexpr uint32_t kHalfSteps = 400;

// A 16-bit draw d picks the half-step d * 400 / 65536 (Lemire's multiply-shift). The low
// 16 bits of the product fall below 65536 % 400 for exactly the surplus draws that would
// favour some half-steps; those are drawn again, which keeps all 400 equally likely.
constexpr uint32_t kRejectBelow = (1u << 16) % kHalfSteps;

// Bytes mapped per step: small enough that a rejected draw (about one in 200) rarely
// sends a step through the slow path, large enough for the mapping loop to vectorise.
constexpr size_t kChunk = 64;

// SplitMix64, used to seed the lanes below and for the rare redrawn byte.
class SplitMix64 {
 public:
  explicit SplitMix64(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }

 private:
  uint64_t state_;
};

// Independent xorshift128+ generators side by side: shifts, xors and adds only, so one
// step of all lanes runs as vector code. Overwrite data need to be unpredictable to the
// disk, not of cryptographic strength.
class XorshiftLanes {
 public:
  static constexpr size_t kLanes = kChunk / 4;  // one 64-bit word gives four draws

  explicit XorshiftLanes(SplitMix64& seeder) {
    for (size_t i = 0; i < kLanes; ++i) {
      s0_[i] = seeder.Next() | 1;  // a lane must not start all zero
      s1_[i] = seeder.Next();
    }
  }

  void Step(uint64_t (&words)[kLanes]) {
    for (size_t i = 0; i < kLanes; ++i) {
      uint64_t x = s0_[i];
      const uint64_t y = s1_[i];
      s0_[i] = y;
      x ^= x << 23;
      s1_[i] = x ^ y ^ (x >> 17) ^ (y >> 26);
      words[i] = s1_[i] + y;
    }
  }

 private:
  uint64_t s0_[kLanes];
  uint64_t s1_[kLanes];
};

uint64_t FreshSeed() {
  std::random_device source;
  return (uint64_t{source()} << 32) ^ source();
}

inline uint32_t Product(uint16_t draw) {
  return uint32_t{draw} * kHalfSteps;
}
inline bool Rejected(uint32_t product) {
  return (product & 0xFFFF) < kRejectBelow;
}
inline uint8_t ByteOf(uint32_t product) {
  return static_cast<uint8_t>(((product >> 16) + 1) / 2);
}

uint8_t DrawOne(SplitMix64& generator) {
  for (;;) {
    const uint32_t product = Product(static_cast<uint16_t>(generator.Next()));
    if (!Rejected(product)) {
      return ByteOf(product);
    }
  }
}

// Maps one chunk of draws to bytes and marks each rejected draw with a 1 in rejected.
// Local arrays with a fixed length let the compiler turn this into vector code.
bool MapChunk(const uint16_t (&draws)[kChunk], uint8_t (&bytes)[kChunk],
              uint8_t (&rejected)[kChunk]) {
  uint8_t anyRejected = 0;
  for (size_t i = 0; i < kChunk; ++i) {
    // Kept to 16 bits each, the two halves of the product are single vector multiplies.
    const uint16_t halfStep = static_cast<uint16_t>(Product(draws[i]) >> 16);
    const uint16_t low = static_cast<uint16_t>(draws[i] * kHalfSteps);
    bytes[i] = static_cast<uint8_t>((halfStep + 1) >> 1);
    rejected[i] = low < kRejectBelow ? 1 : 0;
    anyRejected |= rejected[i];
  }
  return anyRejected != 0;
}

// Draws the rejected bytes again, looking at eight marks at a time.
void Redraw(uint8_t (&bytes)[kChunk], const uint8_t (&rejected)[kChunk], SplitMix64& generator) {
  static_assert(std::endian::native == std::endian::little, "marks are read low byte first");
  for (size_t group = 0; group < kChunk; group += 8) {
    uint64_t marks = 0;
    std::memcpy(&marks, rejected + group, sizeof marks);
    for (; marks != 0; marks &= marks - 1) {
      bytes[group + static_cast<size_t>(std::countr_zero(marks)) / 8] = DrawOne(generator);
    }
  }
}

}  // namespace

void FillRandom(std::span<std::byte> buffer) {
  // One system seed per thread; every call then starts from a new point of its stream.
  thread_local SplitMix64 seeds(FreshSeed());
  SplitMix64 generator(seeds.Next());
  XorshiftLanes lanes(generator);
  uint64_t words[XorshiftLanes::kLanes];
  uint16_t draws[kChunk];
  uint8_t bytes[kChunk];
  uint8_t rejected[kChunk];
  for (size_t start = 0; start < buffer.size(); start += kChunk) {
    lanes.Step(words);
    std::memcpy(draws, words, sizeof draws);
    if (MapChunk(draws, bytes, rejected)) {
      Redraw(bytes, rejected, generator);
    }
    const size_t count = buffer.size() - start;
    if (count >= kChunk) {
      std::memcpy(buffer.data() + start, bytes, kChunk);  // a fixed size copies inline
    } else {
      std::memcpy(buffer.data() + start, bytes, count);
    }
  }
}

}  // namespace hv
