#include "fileio/EraseFile.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>

#include "fileio/AlignedBlock.h"
#include "fileio/FillRandom.h"

namespace hv {
namespace {

constexpr uint32_t kMinimumBlock = 65536;

// Truncation and removal of the handle's file; plain deletion writes nothing, so there is
// nothing to force to the disk first.
bool CutAndClose(OpenFile& file) {
  const bool cut = file.SeekToStart() && file.SetEndOfFile();
  return file.Close() && cut;
}

// Writes one random block at the start of the file and reads it back through the cached
// path. When the cache shows other bytes than were written, writes bypassing it cannot be
// trusted to be seen, and the passes write through the cache instead.
std::optional<WriteMode> ChoosePassMode(const std::string& path, FileSystem& files,
                                        OpenFile& testFile, AlignedBlock& data) {
  FillRandom(data.Bytes());
  const bool written = testFile.Write(data.Bytes()) && testFile.Flush();
  if (!testFile.Close() || !written) {
    return std::nullopt;
  }
  AlignedBlock readBack(data.Bytes().size());
  const size_t got = files.ReadStart(path, readBack.Bytes());
  const bool same =
      got == data.Bytes().size() && std::ranges::equal(readBack.Bytes(), data.Bytes());
  return same ? WriteMode{.noBuffering = true, .deleteOnClose = true}
              : WriteMode{.writeThrough = true, .deleteOnClose = true};
}

bool Wipe(const std::string& path, FileSystem& files) {
  std::unique_ptr<OpenFile> testFile = files.OpenForWriting(path, {.noBuffering = true});
  if (!testFile) {
    return false;
  }
  const uint32_t block = std::max(files.SectorSize(path), kMinimumBlock);
  const std::optional<uint64_t> length = files.FileLength(path);
  if (!length) {
    return false;
  }
  const uint64_t blockCount = *length / block + 1;
  AlignedBlock data(block);
  const std::optional<WriteMode> mode = ChoosePassMode(path, files, *testFile, data);
  if (!mode) {
    return false;
  }
  std::unique_ptr<OpenFile> file = files.OpenForWriting(path, *mode);
  if (!file) {
    return false;  // the file stays whole: better than reporting a wipe that never ran
  }
  // A failed write leaves the rest unwritten; the file is still cut and removed, but the
  // wipe is not reported as done.
  bool allWritten = true;
  for (uint64_t i = 0; i < blockCount && allWritten; ++i) {
    FillRandom(data.Bytes());
    allWritten = file->Write(data.Bytes());
  }
  const bool flushed = file->Flush();
  return CutAndClose(*file) && allWritten && flushed;
}

}  // namespace

bool EraseFile(const std::string& path, bool wipe, FileSystem& files) {
  try {
    if (!files.CanOpenExclusively(path) || !files.SetAttributes(path, FileAttribute::kNormal)) {
      return false;
    }
    if (wipe) {
      return Wipe(path, files);
    }
    const std::unique_ptr<OpenFile> file =
        files.OpenForWriting(path, {.noBuffering = true, .deleteOnClose = true});
    if (file) {
      CutAndClose(*file);
    }
    return false;
  } catch (const std::bad_alloc&) {
    return false;  // no room for the block buffers: the file is left as it is
  }
}

}  // namespace hv
