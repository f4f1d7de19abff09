#pragma once

#include <cstddef>
#include <span>

namespace hv {

// Fills buffer with pseudo-random bytes from 0 to 200: 0 and 200 come up half as often as
// each value between them. Fresh, unpredictable data on every call.
void FillRandom(std::span<std::byte> buffer);

}  // namespace hv
