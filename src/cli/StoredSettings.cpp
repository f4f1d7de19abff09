#include "cli/StoredSettings.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "registry/DefaultRegistry.h"
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

void TellOfMovedStore(std::ostream& err) {
  if (const std::optional<std::string> moved = TakeMovedAsideRegistry()) {
    err << "hushvault-cli: The settings store was damaged. It was moved to '" << *moved
        << "' and Hushvault started a new one, without your settings and presets." << std::endl;
  }
}

}  // namespace hv::cli
