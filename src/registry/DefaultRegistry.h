#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/RegistryBackend.h"

namespace hv {

// The program's registry, shared by every cRegistry made without a backend. It is opened
// on first use (on Linux from $HUSHVAULT_REGISTRY, else $XDG_CONFIG_HOME/hushvault/
// registry.db) and kept for the life of the process.
RegistryBackend& DefaultRegistryBackend();

// Puts another registry in its place (tests); null reopens the user's registry at the next
// use. Only while no registry operation runs.
void ReplaceDefaultRegistryBackend(std::unique_ptr<RegistryBackend> backend);

// Where a damaged registry store was moved when the program started a fresh one: given
// once, so that the user is told once; empty afterwards and when nothing was moved.
// Opens the registry if nothing has opened it yet.
std::optional<std::string> TakeMovedAsideRegistry();

}  // namespace hv
