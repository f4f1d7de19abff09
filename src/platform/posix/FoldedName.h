#pragma once

#include <string>
#include <string_view>

namespace hv {

// name with the case of every letter folded the Unicode way, one letter for one (simple
// folding), so that two registry names are one name when their folded forms are equal.
// Bytes that are not valid UTF-8 are kept as they are and so compare exactly.
std::string FoldedName(std::string_view name);

}  // namespace hv
