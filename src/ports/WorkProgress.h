#pragma once

#include <cstdint>
#include <string>

namespace hv {

// How a long operation on files tells how far it got, and learns that the user wants it to
// stop. The operation calls it on its own thread; whoever shows it reads it on another.
// Every call does nothing here, which is what an operation nobody watches gets.
class WorkProgress {
 public:
  virtual ~WorkProgress() = default;

  // The operation takes on the next file of its batch.
  virtual void BeginFile(const std::string& /*path*/) {}
  // Bytes more of the current file went through.
  virtual void Advance(uint64_t /*bytes*/) {}
  // The current file is finished with; done tells whether its operation succeeded.
  virtual void EndFile(bool /*done*/) {}

  // True once the user asked to stop. Operations look at block boundaries and between
  // files, and stop only where nothing is left half-done.
  virtual bool StopRequested() const { return false; }
};

// Progress that nobody watches and that never stops.
WorkProgress& NoProgress();

// The closing message's line for the files of a list that a stop left untouched.
std::string FilesLeftByStop(int count);

}  // namespace hv
