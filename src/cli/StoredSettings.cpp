#include "cli/StoredSettings.h"

#include <cstdint>
#include <string>

#include "registry/cRegistry.h"

namespace hv::cli {
namespace {

// A setting the window never stored, or one of another type, reads as on, as the window
// starts with both boxes checked.
bool ReadFlag(const std::string& name) {
  cRegistry registry;
  registry.ClassKey(kHkeyCurrentUser);
  registry.SectionKey("Software\\Hushvault\\Settings");
  registry.ValueKey(name);
  registry.Default(Variant(int32_t{1}));
  const Variant value = registry.Value();
  const int32_t* number = std::get_if<int32_t>(&value);
  return number == nullptr || *number != 0;
}

}  // namespace

StoredSettings ReadStoredSettings() {
  return {.wipe = ReadFlag("Option0"), .warn = ReadFlag("Option1")};
}

}  // namespace hv::cli
