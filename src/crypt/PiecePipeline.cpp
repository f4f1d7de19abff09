#include "crypt/PiecePipeline.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "crypt/WipeSecret.h"

namespace hv {
namespace {

// Enough that a step which stalls for a moment (a busy disk, a preempted thread) does not
// stall the others at once.
constexpr std::size_t kPieceCount = 16;

struct Piece {
  unsigned char* start;
  std::size_t count;
};

// Pieces handed from one step to the next, in order.
class PieceQueue {
 public:
  void Push(Piece piece) {
    {
      const std::lock_guard lock(mutex_);
      pieces_.push_back(piece);
    }
    ready_.notify_one();
  }

  // The next piece; nullopt once the queue is closed and empty, or abandoned.
  std::optional<Piece> Pop() {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [this] { return abandoned_ || closed_ || !pieces_.empty(); });
    if (abandoned_ || pieces_.empty()) {
      return std::nullopt;
    }
    const Piece piece = pieces_.front();
    pieces_.pop_front();
    return piece;
  }

  // No more pieces will come; the ones queued are still taken.
  void Close() { Set(closed_); }
  // A step failed: whoever waits stops at once.
  void Abandon() { Set(abandoned_); }

 private:
  void Set(bool& flag) {
    {
      const std::lock_guard lock(mutex_);
      flag = true;
    }
    ready_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Piece> pieces_;
  bool closed_ = false;
  bool abandoned_ = false;
};

// The pieces' memory, wiped when the run ends whichever way: it held plain bytes.
class PieceMemory {
 public:
  explicit PieceMemory(std::size_t size) : bytes_(size) {}
  ~PieceMemory() { WipeBytes(bytes_.data(), bytes_.size()); }
  PieceMemory(const PieceMemory&) = delete;
  PieceMemory& operator=(const PieceMemory&) = delete;
  unsigned char* At(std::size_t offset) { return bytes_.data() + offset; }

 private:
  std::vector<unsigned char> bytes_;
};

class Pipeline {
 public:
  Pipeline(const PipelineSteps& steps, std::size_t pieceSize)
      : steps_(steps), pieceSize_(pieceSize), memory_(kPieceCount * pieceSize) {
    for (std::size_t n = 0; n < kPieceCount; ++n) {
      free_.Push({memory_.At(n * pieceSize), 0});
    }
  }

  bool Run() {
    std::vector<std::thread> helpers;
    try {
      helpers.emplace_back([this] { Guarded([this] { Produce(); }); });
      helpers.emplace_back([this] { Guarded([this] { Consume(); }); });
      Transform();
    } catch (...) {
      Fail();
    }
    for (std::thread& helper : helpers) {
      helper.join();
    }
    return !failed_;
  }

 private:
  void Produce() {
    while (const auto piece = free_.Pop()) {
      const auto count = steps_.produce({piece->start, pieceSize_});
      if (!count) {
        return Fail();
      }
      if (*count == 0) {
        break;
      }
      produced_.Push({piece->start, *count});
    }
    produced_.Close();
  }

  void Transform() {
    while (const auto piece = produced_.Pop()) {
      steps_.transform({piece->start, piece->count});
      transformed_.Push(*piece);
    }
    transformed_.Close();
  }

  void Consume() {
    while (const auto piece = transformed_.Pop()) {
      if (!steps_.consume({piece->start, piece->count})) {
        return Fail();
      }
      free_.Push(*piece);
    }
  }

  template <typename Step>
  void Guarded(Step step) {
    try {
      step();
    } catch (...) {
      Fail();
    }
  }

  void Fail() {
    failed_ = true;
    free_.Abandon();
    produced_.Abandon();
    transformed_.Abandon();
  }

  const PipelineSteps& steps_;
  const std::size_t pieceSize_;
  PieceMemory memory_;
  PieceQueue free_;
  PieceQueue produced_;
  PieceQueue transformed_;
  std::atomic<bool> failed_ = false;
};

}  // namespace

bool RunPipeline(const PipelineSteps& steps, std::size_t pieceSize) {
  return Pipeline(steps, pieceSize).Run();
}

}  // namespace hv
