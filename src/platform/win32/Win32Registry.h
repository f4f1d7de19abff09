#pragma once

#include "platform/RegistryBackend.h"

namespace hv {

// The user's registry through advapi32's ANSI calls, one to one.
class Win32Registry : public RegistryBackend {
 public:
  long OpenKeyEx(RegKey key, const char* subKey, uint32_t access, RegKey* result) override;
  long CreateKeyEx(RegKey key, const char* subKey, uint32_t access, RegKey* result) override;
  long CloseKey(RegKey key) override;
  long QueryValueEx(RegKey key, const char* valueName, uint32_t* type, uint8_t* data,
                    uint32_t* dataSize) override;
  long SetValueEx(RegKey key, const char* valueName, uint32_t type, const uint8_t* data,
                  uint32_t dataSize) override;
  long EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameSize) override;
  long EnumKey(RegKey key, uint32_t index, char* name, uint32_t nameSize) override;
  long DeleteKey(RegKey key, const char* subKey) override;
  long DeleteValue(RegKey key, const char* valueName) override;
  long QueryInfoKey(RegKey key, uint32_t* maxValueNameLength) override;
};

}  // namespace hv
