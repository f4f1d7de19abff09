#pragma once

#include <condition_variable>
#include <iosfwd>
#include <mutex>
#include <thread>

namespace hv {
class RunReport;
}

namespace hv::cli {

// While it lives, rewrites one line on the terminal a few times a second with the item at
// work and what the run has met so far; the line is cleared when it goes.
class ProgressLine {
 public:
  ProgressLine(const RunReport& report, std::mutex& terminal, std::ostream& err);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

 private:
  void Show();

  const RunReport& report_;
  std::mutex& terminal_;
  std::ostream& err_;
  std::mutex wakeLock_;
  std::condition_variable wake_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace hv::cli
