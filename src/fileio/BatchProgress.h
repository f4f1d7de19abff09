#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "ports/WorkProgress.h"

namespace hv {

// One file of a batch and its length when the batch was put together.
struct BatchFile {
  std::string path;
  uint64_t length = 0;
};

// The files at paths with their lengths; one that cannot be measured counts as empty.
std::vector<BatchFile> MeasureFiles(const std::vector<std::string>& paths, FileSystem& files);

// The progress of one batch of files that an operation takes one after the other: which
// file is at work, the bytes gone through of the whole batch, what became of each file,
// and whether the user asked to stop. The operation reports on its threads while the
// window reads and asks to stop on its own: every member may be called from any thread.
class BatchProgress : public WorkProgress {
 public:
  enum class FileState { kWaiting, kWorking, kDone, kNotDone };

  struct Snapshot {
    std::string path;       // the file at work or the last one; empty before the first
    size_t fileNumber = 0;  // its place in the batch, from 1; 0 before the first
    size_t fileCount = 0;
    uint64_t bytesDone = 0;
    uint64_t bytesTotal = 0;
  };

  // The files in the order the operation takes them.
  explicit BatchProgress(std::vector<BatchFile> files);

  // A path that is not among the batch's files still to come is taken on unknown: it
  // shows, but moves the counts by nothing.
  void BeginFile(const std::string& path) override;
  // Bytes beyond the file's measured length do not count: a file may grow while it is
  // read, and a wipe writes past the end.
  void Advance(uint64_t bytes) override;
  // The whole file counts as gone through, whatever became of it.
  void EndFile(bool done) override;

  void RequestStop() { stop_.store(true, std::memory_order_relaxed); }
  bool StopRequested() const override { return stop_.load(std::memory_order_relaxed); }

  Snapshot Current() const;
  // What became of each file, in the order given.
  std::vector<FileState> States() const;

 private:
  static constexpr size_t kUnknown = static_cast<size_t>(-1);

  std::atomic<bool> stop_{false};
  // Only the file at work advances; the counter is apart so that advancing takes no lock.
  std::atomic<uint64_t> advanced_{0};
  mutable std::mutex mutex_;
  std::vector<BatchFile> files_;
  std::vector<FileState> states_;
  uint64_t totalBytes_ = 0;
  uint64_t finishedBytes_ = 0;  // the lengths of the files ended
  size_t next_ = 0;             // where the search for the next file begins
  size_t current_ = kUnknown;
  std::string currentPath_;
};

}  // namespace hv
