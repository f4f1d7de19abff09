#include "clean/CleanActions.h"

#include <utility>

namespace hv {

void CleanActions::Register(ItemKind kind, CleanAction action) {
  actions_[static_cast<int32_t>(kind)] = std::move(action);
}

const CleanAction* CleanActions::Find(int32_t kind) const {
  const auto found = actions_.find(kind);
  return found == actions_.end() ? nullptr : &found->second;
}

}  // namespace hv
