#include "fileio/PassWriter.h"

namespace hv {

PassWriter::PassWriter(OpenFile& file) : file_(file), thread_([this] { Run(); }) {}

PassWriter::~PassWriter() {
  Finish();
}

void PassWriter::WaitUntilIdle(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [this] { return !busy_; });
}

bool PassWriter::Submit(std::span<const std::byte> data) {
  std::unique_lock lock(mutex_);
  WaitUntilIdle(lock);
  if (!ok_) {
    return false;
  }
  pending_ = data;
  busy_ = true;
  changed_.notify_all();
  return true;
}

bool PassWriter::Finish() {
  {
    std::unique_lock lock(mutex_);
    WaitUntilIdle(lock);
    closing_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) {
    thread_.join();
  }
  return ok_;
}

void PassWriter::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return busy_ || closing_; });
    if (!busy_) {
      return;
    }
    const std::span<const std::byte> data = pending_;
    lock.unlock();
    const bool written = file_.Write(data);
    lock.lock();
    ok_ = ok_ && written;
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace hv
