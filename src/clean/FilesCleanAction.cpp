#include "clean/FilesCleanAction.h"

#include "clean/ExpandPath.h"
#include "fileio/DeleteFiles.h"
#include "fileio/DeleteNamedFiles.h"

namespace hv {

CleanAction DeleteFilesAction(FileSystem& files) {
  return [&files](const CleanItem& item, CleanContext& context) {
    DeleteFiles(ExpandPath(item.Path), item.Mask, context.wipe, context.report, context.preview,
                files);
  };
}

CleanAction DeleteNamedFilesAction(FileSystem& files) {
  return [&files](const CleanItem& item, CleanContext& context) {
    DeleteNamedFiles(ExpandPath(item.Path), item.Mask, context.wipe, context.report,
                     context.preview, files);
  };
}

}  // namespace hv
