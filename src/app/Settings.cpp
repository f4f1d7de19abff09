#include "app/Settings.h"

#include "registry/cRegistry.h"

namespace hv {
namespace {

constexpr const char* kSettingsKey = "Software\\Hushvault\\Settings";

cRegistry SettingsRegistry(const std::string& name) {
  cRegistry registry;
  registry.ClassKey(kHkeyCurrentUser);
  registry.SectionKey(kSettingsKey);
  registry.ValueKey(name);
  return registry;
}

}  // namespace

int32_t ReadSetting(const std::string& name, int32_t fallback) {
  cRegistry registry = SettingsRegistry(name);
  registry.Default(Variant(fallback));
  const Variant value = registry.Value();
  if (const int32_t* number = std::get_if<int32_t>(&value)) {
    return *number;
  }
  // A value of another type than the one the program writes is taken as not stored.
  return fallback;
}

void WriteSetting(const std::string& name, int32_t value) {
  cRegistry registry = SettingsRegistry(name);
  registry.ValueType(static_cast<int32_t>(reg::kDword));
  registry.Value(Variant(value));
}

}  // namespace hv
