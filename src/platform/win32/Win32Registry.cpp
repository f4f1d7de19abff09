#include "platform/win32/Win32Registry.h"

#include "platform/win32/WindowsApi.h"

namespace hv {
namespace {

HKEY AsHkey(RegKey key) {
  return reinterpret_cast<HKEY>(key);
}

RegKey AsRegKey(HKEY key) {
  return reinterpret_cast<RegKey>(key);
}

// The registry calls take DWORD sizes; the interface's are the same width.
static_assert(sizeof(DWORD) == sizeof(uint32_t));

}  // namespace

long Win32Registry::OpenKeyEx(RegKey key, const char* subKey, uint32_t access, RegKey* result) {
  HKEY opened = nullptr;
  const LONG status = RegOpenKeyExA(AsHkey(key), subKey, 0, access, &opened);
  *result = status == ERROR_SUCCESS ? AsRegKey(opened) : 0;
  return status;
}

long Win32Registry::CreateKeyEx(RegKey key, const char* subKey, uint32_t access, RegKey* result) {
  HKEY created = nullptr;
  const LONG status = RegCreateKeyExA(AsHkey(key), subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      access, nullptr, &created, nullptr);
  *result = status == ERROR_SUCCESS ? AsRegKey(created) : 0;
  return status;
}

long Win32Registry::CloseKey(RegKey key) {
  return RegCloseKey(AsHkey(key));
}

long Win32Registry::QueryValueEx(RegKey key, const char* valueName, uint32_t* type, uint8_t* data,
                                 uint32_t* dataSize) {
  DWORD dwordType = 0;
  DWORD size = dataSize != nullptr ? *dataSize : 0;
  const LONG status = RegQueryValueExA(AsHkey(key), valueName, nullptr, &dwordType, data,
                                       dataSize != nullptr ? &size : nullptr);
  if (type != nullptr) {
    *type = dwordType;
  }
  if (dataSize != nullptr) {
    *dataSize = size;
  }
  return status;
}

long Win32Registry::SetValueEx(RegKey key, const char* valueName, uint32_t type,
                               const uint8_t* data, uint32_t dataSize) {
  return RegSetValueExA(AsHkey(key), valueName, 0, type, data, dataSize);
}

long Win32Registry::EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameSize) {
  DWORD size = *nameSize;
  const LONG status =
      RegEnumValueA(AsHkey(key), index, name, &size, nullptr, nullptr, nullptr, nullptr);
  *nameSize = size;
  return status;
}

long Win32Registry::EnumKey(RegKey key, uint32_t index, char* name, uint32_t nameSize) {
  return RegEnumKeyA(AsHkey(key), index, name, nameSize);
}

long Win32Registry::DeleteKey(RegKey key, const char* subKey) {
  return RegDeleteKeyA(AsHkey(key), subKey);
}

long Win32Registry::DeleteValue(RegKey key, const char* valueName) {
  return RegDeleteValueA(AsHkey(key), valueName);
}

long Win32Registry::QueryInfoKey(RegKey key, uint32_t* maxValueNameLength) {
  DWORD length = 0;
  const LONG status = RegQueryInfoKeyA(AsHkey(key), nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, &length, nullptr, nullptr, nullptr);
  *maxValueNameLength = length;
  return status;
}

OpenedRegistry OpenUserRegistry() {
  return {std::make_unique<Win32Registry>(), ""};
}

}  // namespace hv
