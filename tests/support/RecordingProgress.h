#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ports/WorkProgress.h"

namespace hv::test {

// Keeps what an operation reports, as lines ("begin PATH", "end PATH done|not done"), and
// asks to stop once stopAfterBytes have gone through the file at work, as a user pressing
// Cancel in the middle of a large file would. Advance may come from any thread.
class RecordingProgress : public WorkProgress {
 public:
  void BeginFile(const std::string& path) override {
    const std::lock_guard lock(mutex_);
    current_ = path;
    advanced = 0;
    events.push_back("begin " + path);
  }
  // Runs on the operation's helper threads, which start after BeginFile and end before
  // EndFile: current_ does not change meanwhile.
  void Advance(uint64_t bytes) override {
    advanced += bytes;
    totalAdvanced += bytes;
    if (stopAfterBytes && advanced >= *stopAfterBytes && current_ == stopIn) {
      stop_ = true;
    }
  }
  void EndFile(bool done) override {
    const std::lock_guard lock(mutex_);
    events.push_back("end " + current_ + (done ? " done" : " not done"));
  }
  bool StopRequested() const override { return stop_; }

  // Asks to stop once this many bytes of the file stopIn went through.
  std::optional<uint64_t> stopAfterBytes;
  std::string stopIn;
  std::vector<std::string> events;
  std::atomic<uint64_t> advanced{0};       // of the file at work
  std::atomic<uint64_t> totalAdvanced{0};  // of the whole batch

 private:
  std::mutex mutex_;
  std::string current_;
  std::atomic<bool> stop_{false};
};

}  // namespace hv::test
