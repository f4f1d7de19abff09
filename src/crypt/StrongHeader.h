#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace hv {

// How hard the key of a strong file is to derive (Argon2id): passes over memoryBytes of memory.
// Stored in each file, so that new files can be made harder without losing old ones.
struct KeyCost {
  uint32_t passes;
  uint64_t memoryBytes;
};

// What new files use: about half a second and 256 MiB on a current desktop.
KeyCost DefaultKeyCost();

// Costs a file may ask for. A file asking for more is refused before any work, so that a
// crafted file cannot exhaust the machine's memory or time.
bool IsSaneKeyCost(const KeyCost& cost);

inline constexpr std::size_t kStrongSaltSize = 16;
inline constexpr std::size_t kStreamHeaderSize = 24;
inline constexpr std::size_t kStrongHeaderSize =
    8 + 1 + 4 + 8 + kStrongSaltSize + kStreamHeaderSize;
inline constexpr std::size_t kStrongKeySize = 32;

using StrongHeaderBytes = std::array<unsigned char, kStrongHeaderSize>;

// The start of a strong file: magic, version, key cost, salt and the stream's own header.
struct StrongHeader {
  KeyCost cost;
  std::array<unsigned char, kStrongSaltSize> salt;
  std::array<unsigned char, kStreamHeaderSize> streamHeader;
};

StrongHeaderBytes SerializeStrongHeader(const StrongHeader& header);

// nullopt unless the bytes start with the magic and a known version and ask for a sane cost.
// Only the first chunk's authentication tells a strong file from a compatible one that
// happens to start the same way.
std::optional<StrongHeader> ParseStrongHeader(const StrongHeaderBytes& bytes);

// Argon2id over the password's bytes as given, with the header's salt and cost. False when
// the memory cannot be had.
bool DeriveStrongKey(const std::string& password, const StrongHeader& header,
                     std::span<unsigned char, kStrongKeySize> key);

// Makes the library ready; false when the system gives it no randomness.
bool SodiumReady();

}  // namespace hv
