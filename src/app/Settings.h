#pragma once

#include <cstdint>
#include <string>

namespace hv {

// The window's settings, REG_DWORD values of "Software\Hushvault\Settings" below
// HKEY_CURRENT_USER. Each call uses a registry object of its own.

// The File Protection tab's "Strong encryption" box, also read by the command line.
inline constexpr const char* kStrongEncryptionSetting = "StrongEncryption";

// The stored number, or fallback when the value is missing or unreadable.
int32_t ReadSetting(const std::string& name, int32_t fallback);

// Throws NumberedError when the value cannot be written.
void WriteSetting(const std::string& name, int32_t value);

}  // namespace hv
