#pragma once

#include <cstdint>
#include <string>

#include "platform/RegistryBackend.h"

namespace hv {

// The stored ids of the two roots.
inline constexpr int64_t kHiveClassesRootId = 1;
inline constexpr int64_t kHiveCurrentUserId = 2;

// Where the user's hive lives: $HUSHVAULT_REGISTRY, else
// $XDG_CONFIG_HOME/hushvault/registry.db (~/.config when that is not set).
std::string UserRegistryPath();

// Opens the hive at path, creating it when missing. A file that is not a sound hive is
// moved aside, kept under its name followed by ".damaged-" and the UTC time, and a fresh
// hive is started in its place. A hive that cannot be opened at all (an unwritable
// folder) gives a registry whose stored keys fail with kRegistryIoFailed.
OpenedRegistry OpenRegistryHive(const std::string& path);

}  // namespace hv
