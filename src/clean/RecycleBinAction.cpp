#include "clean/RecycleBinAction.h"

#include "platform/RecycleBin.h"

namespace hv {

CleanAction EmptyRecycleBinAction(RecycleBin& bin) {
  return [&bin](const CleanItem&, CleanContext& context) {
    bin.EmptyWithConfirmation(context.ui, context.report, context.preview);
  };
}

}  // namespace hv
