#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>

namespace hv {

// The three steps a stream of bytes goes through, in pieces of at most the piece size.
struct PipelineSteps {
  // Fills the start of a piece: the count of bytes (0 at the end of the stream), nullopt on
  // failure.
  std::function<std::optional<std::size_t>(std::span<unsigned char>)> produce;
  // Changes a produced piece in place.
  std::function<void(std::span<unsigned char>)> transform;
  // Takes each transformed piece, in the order produced; false on failure.
  std::function<bool(std::span<const unsigned char>)> consume;
};

// Runs the three steps at the same time, each on its own thread (transform on the caller's),
// so that a stream takes about as long as its slowest step rather than the sum of all three.
// Pieces circulate through a fixed few buffers, so memory stays the same at any stream
// length; the buffers are wiped afterwards. True when the whole stream went through; false
// as soon as a step failed or threw, after which the other steps stop at their next piece.
bool RunPipeline(const PipelineSteps& steps, std::size_t pieceSize);

}  // namespace hv
