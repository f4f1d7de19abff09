#pragma once

#include <cstddef>
#include <functional>

namespace hv {

// The number of threads worth running side by side on this machine; at least 1.
std::size_t ProcessorCount();

// Runs work(0) to work(count - 1), each once, on up to `threads` threads (the calling one
// among them), handing out the next index to whichever thread is free, and returns when
// all are done. When one call throws, no further ones start and the first exception is
// passed on once every thread has stopped.
void RunInParallel(std::size_t count, std::size_t threads,
                   const std::function<void(std::size_t)>& work);

}  // namespace hv
