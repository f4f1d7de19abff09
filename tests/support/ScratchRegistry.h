#pragma once

#include <memory>
#include <string>

#include "ForwardingRegistry.h"
#include "Sandbox.h"
#include "TempFolder.h"
#include "platform/RegistryBackend.h"
#include "registry/DefaultRegistry.h"
#ifndef _WIN32
#include "platform/posix/RegistryHive.h"
#endif

namespace hv::test {

// A fresh, empty hive in a temporary folder that every cRegistry made without a backend
// uses while the object lives; afterwards the program's registry is opened again.
class ScratchRegistry {
 public:
  ScratchRegistry() : hive_(OpenScratch()) {
    ReplaceDefaultRegistryBackend(std::make_unique<ForwardingRegistry>(*hive_));
  }
  ~ScratchRegistry() { ReplaceDefaultRegistryBackend(nullptr); }
  ScratchRegistry(const ScratchRegistry&) = delete;
  ScratchRegistry& operator=(const ScratchRegistry&) = delete;

  // The hive itself, past whatever the program is given.
  RegistryBackend& Backend() { return *hive_; }

  // Gives the program another view of the hive, for instance one that disturbs a call.
  void UseInstead(std::unique_ptr<RegistryBackend> backend) {
    ReplaceDefaultRegistryBackend(std::move(backend));
  }

 private:
  // On Windows the sandbox's own keys stand in for HKEY_CURRENT_USER and
  // HKEY_CLASSES_ROOT; emptying them gives the fresh registry.
  std::unique_ptr<RegistryBackend> OpenScratch() {
#ifdef _WIN32
    EmptySandboxRegistry();
    return OpenUserRegistry().backend;
#else
    return OpenRegistryHive((folder_ / "registry.db").string()).backend;
#endif
  }

  TempFolder folder_;
  std::unique_ptr<RegistryBackend> hive_;
};

}  // namespace hv::test
