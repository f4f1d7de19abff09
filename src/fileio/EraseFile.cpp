#include "fileio/EraseFile.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>
#include <utility>

#include "fileio/AlignedBlock.h"
#include "fileio/FillRandom.h"
#include "fileio/PassWriter.h"

namespace hv {
namespace {

constexpr uint32_t kMinimumBlock = 65536;
// Bytes per write of the passes, in whole blocks: large writes keep a disk that is written
// past its cache busy, where one small write at a time would leave it waiting.
constexpr uint64_t kWriteSize = 1 << 20;

// Truncation and removal of the handle's file; plain deletion writes nothing, so there is
// nothing to force to the disk first. A wipe counts as done only when the passes reached
// the disk (overwritten) and the file was cut and removed.
Erasure CutAndClose(OpenFile& file, bool overwritten) {
  const bool cut = file.SeekToStart() && file.SetEndOfFile();
  const bool removed = file.Close();
  return {
      .access = FileAccess::kExclusive, .removed = removed, .wiped = removed && cut && overwritten};
}

// Writes one random block at the start of the file and reads it back through the cached
// path. When the cache shows other bytes than were written, writes bypassing it cannot be
// trusted to be seen, and the passes write through the cache instead.
std::optional<WriteMode> ChoosePassMode(Folder& folder, const std::string& name, OpenFile& testFile,
                                        uint32_t block) {
  AlignedBlock data(block);
  FillRandom(data.Bytes());
  const bool written = testFile.Write(data.Bytes()) && testFile.Flush();
  if (!testFile.Close() || !written) {
    return std::nullopt;
  }
  AlignedBlock readBack(block);
  const size_t got = folder.ReadStart(name, readBack.Bytes());
  const bool same = got == block && std::ranges::equal(readBack.Bytes(), data.Bytes());
  return same ? WriteMode{.noBuffering = true, .deleteOnClose = true}
              : WriteMode{.writeThrough = true, .deleteOnClose = true};
}

// Overwrites blockCount blocks from the start of the file, each with fresh random data.
// Blocks go to the disk several at a time, from two buffers in turn: one is filled while
// the other is written, and the memory used does not grow with the file.
bool WritePasses(OpenFile& file, uint32_t block, uint64_t blockCount, WorkProgress& progress) {
  const uint64_t blocksPerWrite = std::max<uint64_t>(1, kWriteSize / block);
  AlignedBlock buffers[] = {AlignedBlock(block * blocksPerWrite),
                            AlignedBlock(block * blocksPerWrite)};
  PassWriter writer(file);
  bool submitted = true;
  for (uint64_t done = 0, turn = 0; done < blockCount && submitted; ++turn) {
    const uint64_t blocks = std::min(blockCount - done, blocksPerWrite);
    const std::span<std::byte> chunk = buffers[turn % 2].Bytes().first(blocks * block);
    for (uint64_t i = 0; i < blocks; ++i) {
      FillRandom(chunk.subspan(i * block, block));
    }
    submitted = writer.Submit(chunk);
    done += blocks;
    progress.Advance(chunk.size());
  }
  return writer.Finish() && submitted;
}

// Wipes the file, given open for writing without buffering (the test block's handle).
Erasure Wipe(Folder& folder, const std::string& name, std::unique_ptr<OpenFile> testFile,
             WorkProgress& progress) {
  const Erasure untouched{.access = FileAccess::kExclusive};
  const uint32_t block = std::max(folder.SectorSize(), kMinimumBlock);
  const std::optional<uint64_t> length = folder.FileLength(name);
  if (!length) {
    return untouched;
  }
  const std::optional<WriteMode> mode = ChoosePassMode(folder, name, *testFile, block);
  if (!mode) {
    return untouched;
  }
  std::unique_ptr<OpenFile> file = folder.OpenForWriting(name, *mode);
  if (!file) {
    return untouched;  // the file stays whole: better than reporting a wipe that never ran
  }
  // After a failed write the rest stays unwritten; the file is still cut and removed, but
  // the wipe is not reported as done.
  const bool allWritten = WritePasses(*file, block, *length / block + 1, progress);
  const bool flushed = file->Flush();
  return CutAndClose(*file, allWritten && flushed);
}

}  // namespace

Erasure Erase(Folder& folder, const std::string& name, bool wipe, WorkProgress& progress) {
  try {
    // A wipe's first handle writes the test block; a plain erasure's removes the file.
    Folder::FileToErase opened =
        folder.OpenToErase(name, {.noBuffering = true, .deleteOnClose = !wipe});
    Erasure erased = opened.probe.access != FileAccess::kExclusive
                         ? Erasure{.access = opened.probe.access}
                     : !opened.file ? Erasure{.access = FileAccess::kExclusive}
                     : wipe         ? Wipe(folder, name, std::move(opened.file), progress)
                                    : CutAndClose(*opened.file, false);
    erased.allocatedBytes = opened.probe.allocatedBytes;
    return erased;
  } catch (const std::exception&) {
    return {.access = FileAccess::kExclusive};  // no room for the buffers or no thread to write
  }
}

bool EraseFile(Folder& folder, const std::string& name, bool wipe) {
  return Erase(folder, name, wipe).wiped;
}

bool EraseFile(const std::string& path, bool wipe, FileSystem& files, WorkProgress& progress) {
  const FolderAndName at = OpenFolderOf(files, path);
  return at.folder && Erase(*at.folder, at.name, wipe, progress).wiped;
}

}  // namespace hv
