#pragma once

#include "clean/CleanActions.h"

namespace hv {

class RecycleBin;

// The recycle bin item: empties the bin after the platform's confirmation question.
CleanAction EmptyRecycleBinAction(RecycleBin& bin);

}  // namespace hv
