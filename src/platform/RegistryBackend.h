#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace hv {

// A registry key handle. Predefined roots are the sign-extended 32-bit root values, as the
// system defines them, so that a 32-bit `ClassKey` converts to its handle unchanged.
using RegKey = std::intptr_t;

inline constexpr int32_t kHkeyClassesRoot = static_cast<int32_t>(0x80000000u);
inline constexpr int32_t kHkeyCurrentUser = static_cast<int32_t>(0x80000001u);

// The key below HKEY_CURRENT_USER that lists the user's special folders.
inline constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The system's result codes of the registry calls.
namespace reg {
inline constexpr long kSuccess = 0;
inline constexpr long kFileNotFound = 2;
inline constexpr long kAccessDenied = 5;
inline constexpr long kInvalidHandle = 6;
inline constexpr long kInvalidData = 13;
inline constexpr long kInvalidParameter = 87;
inline constexpr long kMoreData = 234;
inline constexpr long kNoMoreItems = 259;
inline constexpr long kRegistryCorrupt = 1015;
inline constexpr long kRegistryIoFailed = 1016;
inline constexpr long kKeyDeleted = 1018;

// Access rights of an open key.
inline constexpr uint32_t kQueryValue = 0x1;
inline constexpr uint32_t kSetValue = 0x2;
inline constexpr uint32_t kCreateSubKey = 0x4;
inline constexpr uint32_t kEnumerateSubKeys = 0x8;
inline constexpr uint32_t kAllSpecificRights = 0x3F;

// Data types.
inline constexpr uint32_t kNone = 0;
inline constexpr uint32_t kSz = 1;
inline constexpr uint32_t kExpandSz = 2;
inline constexpr uint32_t kBinary = 3;
inline constexpr uint32_t kDword = 4;
inline constexpr uint32_t kDwordBigEndian = 5;
inline constexpr uint32_t kMultiSz = 7;
}  // namespace reg

// The user's registry, one call for each system call that the registry class makes and
// with the same arguments and result codes, so that each system maps it one to one.
// Names are NUL-terminated; key paths separate their parts with a backslash.
class RegistryBackend {
 public:
  virtual ~RegistryBackend() = default;

  // Opens subKey below key; an empty subKey opens key itself again.
  virtual long OpenKeyEx(RegKey key, const char* subKey, uint32_t access, RegKey* result) = 0;
  // Creates every missing part of subKey (non-volatile, no class, default security) or
  // opens it when present.
  virtual long CreateKeyEx(RegKey key, const char* subKey, uint32_t access, RegKey* result) = 0;
  virtual long CloseKey(RegKey key) = 0;

  // Without data (nullptr) only the type and the size are reported. With data, *dataSize
  // is the buffer's size; when it is too small the result is kMoreData and *dataSize the
  // size needed. type may be nullptr.
  virtual long QueryValueEx(RegKey key, const char* valueName, uint32_t* type, uint8_t* data,
                            uint32_t* dataSize) = 0;
  virtual long SetValueEx(RegKey key, const char* valueName, uint32_t type, const uint8_t* data,
                          uint32_t dataSize) = 0;

  // The name of the value at index (creation order): *nameSize holds the buffer's size in
  // characters, NUL included, and on success the name's length without it. A name that
  // does not fit gives kMoreData; an index past the last gives kNoMoreItems.
  virtual long EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameSize) = 0;
  // The name of the subkey at index (creation order) into a buffer of nameSize characters.
  virtual long EnumKey(RegKey key, uint32_t index, char* name, uint32_t nameSize) = 0;

  // Deletes subKey below key; refused with kAccessDenied while it has subkeys.
  virtual long DeleteKey(RegKey key, const char* subKey) = 0;
  virtual long DeleteValue(RegKey key, const char* valueName) = 0;

  // The length of the key's longest value name, in characters without the NUL.
  virtual long QueryInfoKey(RegKey key, uint32_t* maxValueNameLength) = 0;
};

// The current user's registry as this system keeps it. movedAside names where a damaged
// store was moved before a fresh one was started, and is empty otherwise.
struct OpenedRegistry {
  std::unique_ptr<RegistryBackend> backend;
  std::string movedAside;
};

OpenedRegistry OpenUserRegistry();

}  // namespace hv
