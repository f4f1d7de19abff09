#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace hv {

using ByteArray = std::vector<uint8_t>;

// A tagged value: nothing (empty), a string, a 16-bit or 32-bit integer, a byte array, or
// another scalar a caller passes. Registry reads produce only strings, 32-bit integers and
// byte arrays.
using Variant =
    std::variant<std::monostate, std::string, int16_t, int32_t, ByteArray, bool, uint8_t, double>;

// The text form of a value: empty for nothing, "True"/"False", numbers in decimal, and a
// byte array's bytes taken as characters.
std::string VariantText(const Variant& value);

// A readable form for messages: as VariantText, but a byte array as hexadecimal pairs.
std::string VariantDisplayText(const Variant& value);

}  // namespace hv
