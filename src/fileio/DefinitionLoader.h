#pragma once

#include <string>

#include "fileio/CleanItem.h"

namespace hv {

// Replaces list with the records of the definition file at path.
//
// Throws NumberedError, naming the file and the line, when the file cannot be read, ends
// inside a record, holds something other than a whole number in a number field, or opens
// a quoted text that never closes. The list then holds the complete records read before
// the fault.
void LoadCleanItems(const std::string& path, CleanItemList& list);

}  // namespace hv
