#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hv {

// Replaces each %NAME% that names a variable of the process environment by its value; a
// name that is not defined stays as written. Empty when the system cannot expand the text.
std::optional<std::string> ExpandEnvironmentStrings(std::string_view text);

}  // namespace hv
