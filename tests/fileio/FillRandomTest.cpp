#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "fileio/FillRandom.h"

namespace hv {
namespace {

constexpr std::byte kUntouched{255};  // a value FillRandom never writes

std::array<size_t, 256> Histogram(const std::vector<std::byte>& data) {
  std::array<size_t, 256> counts{};
  for (const std::byte b : data) {
    ++counts[static_cast<size_t>(b)];
  }
  return counts;
}

// The values 1 to 199 each take 2 of 400 equal shares, 0 and 200 one share each. With
// 8 million bytes a count strays from its share by more than 6 standard deviations
// about once in five hundred million runs.
TEST(FillRandomTest, ValuesRunFromZeroToTwoHundredWithHalfWeightAtTheEnds) {
  std::vector<std::byte> data(8 << 20, kUntouched);
  FillRandom(data);
  const std::array<size_t, 256> counts = Histogram(data);
  const double n = static_cast<double>(data.size());
  for (int value = 0; value < 256; ++value) {
    const double share = value > 200 ? 0.0 : (value == 0 || value == 200) ? 1.0 / 400 : 2.0 / 400;
    const double expected = n * share;
    const double deviation = std::sqrt(n * share * (1 - share));
    EXPECT_LE(std::abs(static_cast<double>(counts[value]) - expected), 6 * deviation + 0.5)
        << "value " << value << " came " << counts[value] << " times, expected about " << expected;
  }
}

// Sizes around the four-byte stride: every byte inside is written (255 is never written,
// so a byte left at 255 was skipped), none beyond.
TEST(FillRandomTest, FillsExactlyTheGivenCount) {
  for (size_t size = 0; size <= 9; ++size) {
    std::vector<std::byte> data(size + 4, kUntouched);
    FillRandom(std::span(data).first(size));
    for (size_t i = 0; i < size; ++i) {
      EXPECT_LE(static_cast<int>(data[i]), 200) << "size " << size << " index " << i;
    }
    for (size_t i = size; i < data.size(); ++i) {
      EXPECT_EQ(data[i], kUntouched) << "size " << size << " wrote past the end at " << i;
    }
  }
}

}  // namespace
}  // namespace hv
