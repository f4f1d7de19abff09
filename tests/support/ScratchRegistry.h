#pragma once

#include <memory>
#include <string>

#include "ForwardingRegistry.h"
#include "TempFolder.h"
#include "platform/RegistryBackend.h"
#include "platform/posix/RegistryHive.h"
#include "registry/DefaultRegistry.h"

namespace hv::test {

// A fresh, empty hive in a temporary folder that every cRegistry made without a backend
// uses while the object lives; afterwards the program's registry is opened again.
class ScratchRegistry {
 public:
  ScratchRegistry() : hive_(OpenRegistryHive(HivePath()).backend) {
    ReplaceDefaultRegistryBackend(std::make_unique<ForwardingRegistry>(*hive_));
  }
  ~ScratchRegistry() { ReplaceDefaultRegistryBackend(nullptr); }
  ScratchRegistry(const ScratchRegistry&) = delete;
  ScratchRegistry& operator=(const ScratchRegistry&) = delete;

  // The hive itself, past whatever the program is given.
  RegistryBackend& Backend() { return *hive_; }
  std::string HivePath() const { return (folder_ / "registry.db").string(); }

  // Gives the program another view of the hive, for instance one that disturbs a call.
  void UseInstead(std::unique_ptr<RegistryBackend> backend) {
    ReplaceDefaultRegistryBackend(std::move(backend));
  }

 private:
  TempFolder folder_;
  std::unique_ptr<RegistryBackend> hive_;
};

}  // namespace hv::test
