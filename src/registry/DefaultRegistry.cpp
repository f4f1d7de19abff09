#include "registry/DefaultRegistry.h"

#include <mutex>
#include <utility>

namespace hv {
namespace {

struct Shared {
  std::mutex mutex;
  std::unique_ptr<RegistryBackend> backend;
  std::string movedAside;
};

Shared& State() {
  static Shared state;
  return state;
}

RegistryBackend& OpenedLocked(Shared& state) {
  if (!state.backend) {
    OpenedRegistry opened = OpenUserRegistry();
    state.backend = std::move(opened.backend);
    if (!opened.movedAside.empty()) {
      state.movedAside = std::move(opened.movedAside);
    }
  }
  return *state.backend;
}

}  // namespace

RegistryBackend& DefaultRegistryBackend() {
  Shared& state = State();
  const std::lock_guard lock(state.mutex);
  return OpenedLocked(state);
}

void ReplaceDefaultRegistryBackend(std::unique_ptr<RegistryBackend> backend) {
  Shared& state = State();
  const std::lock_guard lock(state.mutex);
  state.backend = std::move(backend);
}

std::optional<std::string> TakeMovedAsideRegistry() {
  Shared& state = State();
  const std::lock_guard lock(state.mutex);
  OpenedLocked(state);
  if (state.movedAside.empty()) {
    return std::nullopt;
  }
  return std::exchange(state.movedAside, std::string());
}

}  // namespace hv
