#include "fileio/FillRandom.h"

#include <cstdint>
#include <random>

namespace hv {
namespace {

// The bytes are r * 200 rounded half to even for r uniform in [0, 1): 0 and 200 take half
// a step each, every other value a whole one. So a uniform choice among 400 half-steps k
// gives the byte (k + 1) / 2.
constexpr uint32_t kHalfSteps = 400;

// Lemire's multiply-shift on 16-bit draws; rejecting the few low products that would
// favour some half-steps keeps all 400 exactly equally likely.
constexpr uint32_t kRejectBelow = (1u << 16) % kHalfSteps;

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

uint64_t FreshSeed() {
  std::random_device source;
  return (uint64_t{source()} << 32) ^ source();
}

// One 16-bit draw turned into a half-step product; its high half is the half-step.
inline uint32_t Product(uint64_t bits, int lane) {
  return static_cast<uint32_t>((bits >> (16 * lane)) & 0xFFFF) * kHalfSteps;
}

inline std::byte ByteOf(uint32_t product) {
  return static_cast<std::byte>(((product >> 16) + 1) / 2);
}

inline bool Accepted(uint32_t product) {
  return (product & 0xFFFF) >= kRejectBelow;
}

std::byte DrawOne(SplitMix64& generator) {
  for (;;) {
    const uint32_t product = Product(generator.Next(), 0);
    if (Accepted(product)) {
      return ByteOf(product);
    }
  }
}

}  // namespace

void FillRandom(std::span<std::byte> buffer) {
  SplitMix64 generator(FreshSeed());
  std::byte* out = buffer.data();
  const size_t size = buffer.size();
  size_t i = 0;
  // Four bytes per 64-bit draw; a rejected lane (about one in 200) is drawn again alone.
  for (; i + 4 <= size; i += 4) {
    const uint64_t bits = generator.Next();
    for (int lane = 0; lane < 4; ++lane) {
      const uint32_t product = Product(bits, lane);
      out[i + lane] = Accepted(product) ? ByteOf(product) : DrawOne(generator);
    }
  }
  for (; i < size; ++i) {
    out[i] = DrawOne(generator);
  }
}

}  // namespace hv
