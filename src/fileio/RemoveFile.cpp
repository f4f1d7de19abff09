#include "fileio/RemoveFile.h"

#include "util/NumberedError.h"

namespace hv {
namespace {

constexpr const char* kErrorSource = "Hushvault";
constexpr long kFileNotFound = 53;
constexpr long kPathFileAccess = 75;

}  // namespace

void RemoveFile(const std::string& path, FileSystem& files) {
  if (!files.FindEntry(path)) {
    throw NumberedError(kFileNotFound, kErrorSource, "File not found: '" + path + "'");
  }
  // A file that stays after its caller was told it is gone (the plain copy of an encrypted
  // file) must not pass silently.
  if (!files.SetAttributes(path, FileAttribute::kNormal) || !files.DeleteFile(path)) {
    throw NumberedError(kPathFileAccess, kErrorSource, "Path/File access error: '" + path + "'");
  }
}

}  // namespace hv
