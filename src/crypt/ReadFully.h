#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include "platform/FileStreams.h"

namespace hv {

// Fills the whole span unless the input ends first: the count filled, nullopt on a read
// error.
std::optional<std::size_t> ReadFully(InputStream& input, std::span<unsigned char> bytes);

}  // namespace hv
