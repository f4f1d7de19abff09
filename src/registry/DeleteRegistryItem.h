#pragma once

#include <cstdint>
#include <string>

#include "clean/CleanActions.h"

namespace hv {

// The registry clean item: pattern "@" deletes the key at keyPath below root with its
// immediate subkeys; any other pattern deletes the key's values whose names match it
// (case-sensitive name patterns). A missing key, or a keyPath that names no key below
// root, changes nothing.
void DeleteRegistryItem(const std::string& pattern, int32_t root, const std::string& keyPath);

// Kind 1 of the cleaning run: DeleteRegistryItem(Mask, HKEY_CURRENT_USER, Path).
CleanAction DeleteRegistryItemAction();

}  // namespace hv
