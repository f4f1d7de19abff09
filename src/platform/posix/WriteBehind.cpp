#include "platform/posix/WriteBehind.h"

#include <fcntl.h>
#include <unistd.h>

#include <system_error>

namespace hv {
namespace {

constexpr off_t kStartEvery = 8 << 20;
// Small files never get a flushing thread.
constexpr off_t kFlushEvery = 64 << 20;

}  // namespace

void WriteBehind::Written(off_t length) {
  while (length - started_ >= kStartEvery) {
    sync_file_range(fd_, started_, kStartEvery, SYNC_FILE_RANGE_WRITE);
    started_ += kStartEvery;
  }
  if (length < kFlushEvery) {
    return;
  }
  {
    const std::lock_guard lock(mutex_);
    if (stopping_) {
      return;
    }
    length_ = length;
  }
  if (!flusher_.joinable()) {
    try {
      flusher_ = std::thread([this] { FlushWhileWritten(); });
    } catch (const std::system_error&) {
      return;  // no thread to spare: the final fsync does all the flushing
    }
  }
  wake_.notify_one();
}

void WriteBehind::Stop() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  if (flusher_.joinable()) {
    flusher_.join();
  }
}

void WriteBehind::FlushWhileWritten() {
  off_t flushed = 0;
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return stopping_ || length_ - flushed >= kFlushEvery; });
    if (stopping_) {
      return;
    }
    const off_t target = length_;
    lock.unlock();
    fdatasync(fd_);
    lock.lock();
    flushed = target;
  }
}

}  // namespace hv
