// The registry class on the system's own registry; the registry tests run over it too, so
// this only checks that writes land in the system's keys. The test sandbox has redirected
// HKEY_CURRENT_USER and HKEY_CLASSES_ROOT to scratch keys, so nothing here reaches the
// user's own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/Win32Registry.h"
#include "platform/win32/WindowsApi.h"
#include "registry/cRegistry.h"

namespace hv {
namespace {

TEST(Win32Registry, WritesLandInTheSystemsKeysWithTheirTypes) {
  struct Case {
    int32_t root;
    HKEY systemRoot;
    int32_t type;
    Variant written;
    std::vector<uint8_t> stored;
  };
  const Case cases[] = {
      {kHkeyCurrentUser,
       HKEY_CURRENT_USER,
       reg::kSz,
       std::string("C:\\T"),
       {'C', ':', '\\', 'T', 0}},
      {kHkeyCurrentUser, HKEY_CURRENT_USER, reg::kDword, int32_t{0x01020304}, {4, 3, 2, 1}},
      {kHkeyClassesRoot, HKEY_CLASSES_ROOT, reg::kBinary, ByteArray{0, 255}, {0, 255}},
  };
  constexpr const char* kKey = "Software\\Hushvault\\PlatformTest";
  Win32Registry backend;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    cRegistry registry(backend);
    registry.ClassKey(c.root);
    registry.SectionKey(kKey);
    registry.ValueKey("v");
    registry.ValueType(c.type);
    registry.Value(c.written);

    DWORD type = 0;
    std::vector<uint8_t> data(16);
    DWORD size = static_cast<DWORD>(data.size());
    ASSERT_EQ(RegGetValueA(c.systemRoot, kKey, "v", RRF_RT_ANY, &type, data.data(), &size),
              ERROR_SUCCESS);
    data.resize(size);
    EXPECT_EQ(static_cast<int32_t>(type), c.type);
    EXPECT_EQ(data, c.stored);
    RegDeleteTreeA(c.systemRoot, kKey);
  }
}

}  // namespace
}  // namespace hv
