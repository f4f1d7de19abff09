#include "clean/FilesCleanAction.h"

#include "clean/ExpandPath.h"
#include "fileio/DeleteFiles.h"

namespace hv {

CleanAction DeleteFilesAction(FileSystem& files) {
  return [&files](const CleanItem& item, CleanContext& context) {
    DeleteFiles(ExpandPath(item.Path), item.Mask, context.wipe, context.report, context.preview,
                files, context.fence);
  };
}

}  // namespace hv
