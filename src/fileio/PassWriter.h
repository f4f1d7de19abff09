#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <span>
#include <thread>

#include "platform/FileSystem.h"

namespace hv {

// Writes buffers to a file, in the order given, on a thread of its own, so that the
// caller can fill the next buffer while the disk takes the last one.
class PassWriter {
 public:
  explicit PassWriter(OpenFile& file);
  ~PassWriter();
  PassWriter(const PassWriter&) = delete;
  PassWriter& operator=(const PassWriter&) = delete;

  // Waits until the buffer handed over before is written, then hands over data, which
  // must stay untouched until the next Submit or Finish returns. Returns false, without
  // handing over, once a write has failed.
  bool Submit(std::span<const std::byte> data);

  // Waits until everything handed over is written; true when every write succeeded.
  bool Finish();

 private:
  void Run();
  void WaitUntilIdle(std::unique_lock<std::mutex>& lock);

  OpenFile& file_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::span<const std::byte> pending_;
  bool busy_ = false;
  bool closing_ = false;
  bool ok_ = true;
  std::thread thread_;  // last: starts once everything above is ready
};

}  // namespace hv
