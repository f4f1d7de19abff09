#include "cli/ProgressLine.h"

#include <chrono>
#include <ostream>

#include "clean/EntryTally.h"
#include "clean/RunReport.h"

namespace hv::cli {
namespace {

constexpr auto kInterval = std::chrono::milliseconds(200);
constexpr size_t kWidth = 79;  // one line of the narrowest usual terminal

std::string Fitted(std::string line) {
  if (line.size() > kWidth) {
    line.resize(kWidth);
  }
  return line + std::string(kWidth - line.size(), ' ');
}

}  // namespace

ProgressLine::ProgressLine(const RunReport& report, std::mutex& terminal, std::ostream& err)
    : report_(report), terminal_(terminal), err_(err), thread_([this] { Show(); }) {}

ProgressLine::~ProgressLine() {
  {
    const std::lock_guard lock(wakeLock_);
    done_ = true;
  }
  wake_.notify_one();
  thread_.join();
  const std::lock_guard lock(terminal_);
  err_ << "\r" << std::string(kWidth, ' ') << "\r" << std::flush;
}

void ProgressLine::Show() {
  std::unique_lock lock(wakeLock_);
  while (!wake_.wait_for(lock, kInterval, [this] { return done_; })) {
    const RunReport::Progress progress = report_.CurrentProgress();
    if (progress.item.empty()) {
      continue;
    }
    const std::lock_guard terminal(terminal_);
    err_ << "\r"
         << Fitted(progress.item + ": " + GroupedNumber(progress.entries) + " entries, " +
                   DisplaySize(progress.bytes))
         << std::flush;
  }
}

}  // namespace hv::cli
