#pragma once

#include <string>
#include <utility>
#include <vector>

namespace hv {

// The file-type list in its converted form: every "|" and ":" of the caller's filter
// becomes a NUL separator, and two NULs end the list.
std::string ConvertFilter(const std::string& filter);

// The description and pattern pairs of a converted filter, in order. A trailing description
// without a pattern gets an empty pattern.
std::vector<std::pair<std::string, std::string>> FilterPairs(const std::string& converted);

// The pair with the 1-based index: description, NUL, pattern. Empty for an empty filter
// and for an index outside the list.
std::string FilterPair(const std::string& converted, long index);

}  // namespace hv
