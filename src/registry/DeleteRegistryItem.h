#pragma once

#include <cstdint>
#include <string>

#include "clean/CleanActions.h"

namespace hv {

// The registry clean item: pattern "@" deletes the key at keyPath below root with its
// immediate subkeys; any other pattern deletes the key's values whose names match it
// (case-sensitive name patterns). A missing key, or a keyPath that names no key below
// root, changes nothing.
//
// Each value, subkey and key goes to report as it is met: removed, or left with the
// reason. A preview only reads the registry and reports what would go. Between two values
// the deletion ends once the report asks to stop; a key goes whole or not at all.
void DeleteRegistryItem(const std::string& pattern, int32_t root, const std::string& keyPath,
                        ReportSink& report, bool preview = false);

// Kind 1 of the cleaning run: DeleteRegistryItem(Mask, HKEY_CURRENT_USER, Path).
CleanAction DeleteRegistryItemAction();

}  // namespace hv
