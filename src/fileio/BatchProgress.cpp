#include "fileio/BatchProgress.h"

#include <algorithm>

namespace hv {

std::vector<BatchFile> MeasureFiles(const std::vector<std::string>& paths, FileSystem& files) {
  std::vector<BatchFile> measured;
  measured.reserve(paths.size());
  for (const std::string& path : paths) {
    const FolderAndName at = OpenFolderOf(files, path);
    const auto length = at.folder ? at.folder->FileLength(at.name) : std::nullopt;
    measured.push_back({path, length.value_or(0)});
  }
  return measured;
}

BatchProgress::BatchProgress(std::vector<BatchFile> files)
    : files_(std::move(files)), states_(files_.size(), FileState::kWaiting) {
  for (const BatchFile& file : files_) {
    totalBytes_ += file.length;
  }
}

void BatchProgress::BeginFile(const std::string& path) {
  const std::lock_guard lock(mutex_);
  const auto found = std::find_if(files_.begin() + static_cast<std::ptrdiff_t>(next_), files_.end(),
                                  [&](const BatchFile& f) { return f.path == path; });
  current_ = found == files_.end() ? kUnknown : static_cast<size_t>(found - files_.begin());
  if (current_ != kUnknown) {
    states_[current_] = FileState::kWorking;
    next_ = current_ + 1;
  }
  currentPath_ = path;
  advanced_.store(0, std::memory_order_relaxed);
}

void BatchProgress::Advance(uint64_t bytes) {
  advanced_.fetch_add(bytes, std::memory_order_relaxed);
}

void BatchProgress::EndFile(bool done) {
  const std::lock_guard lock(mutex_);
  if (current_ != kUnknown) {
    states_[current_] = done ? FileState::kDone : FileState::kNotDone;
    finishedBytes_ += files_[current_].length;
  }
  current_ = kUnknown;
  advanced_.store(0, std::memory_order_relaxed);
}

BatchProgress::Snapshot BatchProgress::Current() const {
  const std::lock_guard lock(mutex_);
  const uint64_t inFile = current_ == kUnknown ? 0
                                               : std::min(advanced_.load(std::memory_order_relaxed),
                                                          files_[current_].length);
  return {.path = currentPath_,
          .fileNumber = current_ == kUnknown ? next_ : current_ + 1,
          .fileCount = files_.size(),
          .bytesDone = finishedBytes_ + inFile,
          .bytesTotal = totalBytes_};
}

std::vector<BatchProgress::FileState> BatchProgress::States() const {
  const std::lock_guard lock(mutex_);
  return states_;
}

}  // namespace hv
