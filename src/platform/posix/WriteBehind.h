#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace hv {

// Moves a file's data to the disk while more of it is still being written, so that the
// fsync that completes the file finds little left to do: the disk is asked to start writing
// every few MiB, and a thread of its own flushes what was written so far, through the
// disk's own cache, every few tens of MiB. Only speed depends on it: the file's final fsync
// stays what makes it durable. The descriptor must stay open until Stop.
class WriteBehind {
 public:
  explicit WriteBehind(int fd) : fd_(fd) {}
  ~WriteBehind() { Stop(); }
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;

  // The file now holds length bytes. Called by one writing thread at a time.
  void Written(off_t length);

  // Ends the flushing, after waiting for a flush under way.
  void Stop();

 private:
  void FlushWhileWritten();

  const int fd_;
  off_t started_ = 0;  // the disk was asked to write everything before this offset
  std::mutex mutex_;
  std::condition_variable wake_;
  off_t length_ = 0;       // under mutex_
  bool stopping_ = false;  // under mutex_
  std::thread flusher_;
};

}  // namespace hv
