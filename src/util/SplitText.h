#pragma once

#include <string>
#include <vector>

namespace hv {

// The parts of text between separators, in order; empty parts are left out, so "a;;b;"
// gives "a" and "b".
std::vector<std::string> SplitText(const std::string& text, char separator);

}  // namespace hv
