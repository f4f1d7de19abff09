#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/RegistryBackend.h"

namespace hv::test {

// A value as the registry holds it, read and written past the registry class, so that
// tests see exactly what it stored and can plant what it cannot write.
struct RawValue {
  uint32_t type = 0;
  std::vector<uint8_t> data;
  bool operator==(const RawValue&) const = default;
};

inline std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

inline std::optional<RawValue> ReadRaw(RegistryBackend& backend, int32_t root,
                                       const std::string& key, const std::string& name) {
  RegKey handle = 0;
  if (backend.OpenKeyEx(root, key.c_str(), reg::kQueryValue, &handle) != reg::kSuccess) {
    return std::nullopt;
  }
  RawValue value;
  uint32_t size = 0;
  std::optional<RawValue> result;
  if (backend.QueryValueEx(handle, name.c_str(), &value.type, nullptr, &size) == reg::kSuccess) {
    value.data.resize(size);
    if (backend.QueryValueEx(handle, name.c_str(), nullptr, value.data.data(), &size) ==
        reg::kSuccess) {
      result = value;
    }
  }
  backend.CloseKey(handle);
  return result;
}

// Creates the key as needed; false when the registry refused.
inline bool WriteRaw(RegistryBackend& backend, int32_t root, const std::string& key,
                     const std::string& name, uint32_t type, const std::vector<uint8_t>& data) {
  RegKey handle = 0;
  if (backend.CreateKeyEx(root, key.c_str(), reg::kAllSpecificRights, &handle) != reg::kSuccess) {
    return false;
  }
  const bool written = backend.SetValueEx(handle, name.c_str(), type, data.data(),
                                          static_cast<uint32_t>(data.size())) == reg::kSuccess;
  backend.CloseKey(handle);
  return written;
}

inline bool CreateRawKey(RegistryBackend& backend, int32_t root, const std::string& key) {
  RegKey handle = 0;
  if (backend.CreateKeyEx(root, key.c_str(), reg::kAllSpecificRights, &handle) != reg::kSuccess) {
    return false;
  }
  backend.CloseKey(handle);
  return true;
}

}  // namespace hv::test
