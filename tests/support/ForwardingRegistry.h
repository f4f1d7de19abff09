#pragma once

#include "platform/RegistryBackend.h"

namespace hv::test {

// Passes every call on to another registry; tests override the one call they disturb.
class ForwardingRegistry : public RegistryBackend {
 public:
  explicit ForwardingRegistry(RegistryBackend& inner) : inner_(inner) {}

  long OpenKeyEx(RegKey key, const char* subKey, uint32_t access, RegKey* result) override {
    return inner_.OpenKeyEx(key, subKey, access, result);
  }
  long CreateKeyEx(RegKey key, const char* subKey, uint32_t access, RegKey* result) override {
    return inner_.CreateKeyEx(key, subKey, access, result);
  }
  long CloseKey(RegKey key) override { return inner_.CloseKey(key); }
  long QueryValueEx(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                    uint32_t* size) override {
    return inner_.QueryValueEx(key, name, type, data, size);
  }
  long SetValueEx(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                  uint32_t size) override {
    return inner_.SetValueEx(key, name, type, data, size);
  }
  long EnumValue(RegKey key, uint32_t index, char* name, uint32_t* size) override {
    return inner_.EnumValue(key, index, name, size);
  }
  long EnumKey(RegKey key, uint32_t index, char* name, uint32_t size) override {
    return inner_.EnumKey(key, index, name, size);
  }
  long DeleteKey(RegKey key, const char* subKey) override { return inner_.DeleteKey(key, subKey); }
  long DeleteValue(RegKey key, const char* name) override { return inner_.DeleteValue(key, name); }
  long QueryInfoKey(RegKey key, uint32_t* longest) override {
    return inner_.QueryInfoKey(key, longest);
  }

 protected:
  RegistryBackend& Inner() { return inner_; }

 private:
  RegistryBackend& inner_;
};

}  // namespace hv::test
