#include "crypt/FileCipher.h"

#include <algorithm>

#include "crypt/CipherStreams.h"
#include "crypt/PiecePipeline.h"
#include "crypt/ReadFully.h"

namespace hv {
namespace {

// Small enough that the pieces in flight stay in the processor's caches between the steps:
// larger pieces measured slower.
constexpr std::size_t kPieceSize = 128 << 10;
// Small files get small pieces; never none, since a file may grow while it is read.
constexpr std::size_t kSmallestPiece = 64 << 10;

std::size_t PieceSizeFor(uint64_t length) {
  return static_cast<std::size_t>(std::clamp<uint64_t>(length, kSmallestPiece, kPieceSize));
}

bool WriteBytes(StagedFile& output, std::span<const unsigned char> bytes) {
  return output.Write(std::as_bytes(bytes));
}

// Reads a piece unless the user asked to stop; a stop ends the stream as a failed read
// would, and is told apart afterwards.
class WatchedReads {
 public:
  explicit WatchedReads(WorkProgress& progress) : progress_(progress) {}

  template <typename Read>
  std::optional<std::size_t> Next(Read&& read) {
    if (progress_.StopRequested()) {
      stopped_ = true;
      return std::nullopt;
    }
    const std::optional<std::size_t> count = read();
    if (count) {
      progress_.Advance(*count);
    }
    return count;
  }

  StreamOutcome Failure() const {
    return stopped_ ? StreamOutcome::kStopped : StreamOutcome::kFailed;
  }

 private:
  WorkProgress& progress_;
  bool stopped_ = false;
};

}  // namespace

// The plain bytes are hashed as they are read, before the cipher overwrites them.
StreamOutcome EncryptStream(InputStream& input, StagedFile& output, const std::string& password,
                            WorkProgress& progress) {
  CipherStream cipher(password);
  Md5Stream hash;
  WatchedReads reads(progress);
  bool anyBytes = false;
  const bool streamed = RunPipeline(
      {.produce =
           [&](std::span<unsigned char> piece) {
             return reads.Next([&] {
               const auto count = ReadFully(input, piece);
               if (count && *count > 0) {
                 hash.Update(piece.first(*count));
                 anyBytes = true;
               }
               return count;
             });
           },
       .transform = [&](std::span<unsigned char> piece) { cipher.Apply(piece); },
       .consume = [&](std::span<const unsigned char> piece) { return WriteBytes(output, piece); }},
      PieceSizeFor(input.Length()));
  if (!streamed) {
    return reads.Failure();
  }
  // Empty data carries no digest.
  return !anyBytes || WriteBytes(output, hash.Finish()) ? StreamOutcome::kDone
                                                        : StreamOutcome::kFailed;
}

// The plain bytes are hashed as they leave the cipher.
StreamOutcome DecryptStream(InputStream& input, StagedFile* output, const std::string& password,
                            WorkProgress& progress) {
  const uint64_t length = input.Length();
  if (length == 0) {
    return StreamOutcome::kDone;
  }
  if (length < kDigestSize) {
    return StreamOutcome::kFailed;
  }
  CipherStream cipher(password);
  Md5Stream hash;
  uint64_t left = length - kDigestSize;
  Digest stored{};
  WatchedReads reads(progress);
  const bool streamed = RunPipeline(
      {.produce =
           [&](std::span<unsigned char> piece) {
             return reads.Next([&]() -> std::optional<std::size_t> {
               const auto count = static_cast<std::size_t>(std::min<uint64_t>(left, piece.size()));
               // A file that shrinks while it is read cannot be decrypted.
               const auto wanted =
                   count > 0 ? piece.first(count) : std::span<unsigned char>(stored);
               if (ReadFully(input, wanted) != wanted.size()) {
                 return std::nullopt;
               }
               left -= count;
               return count;
             });
           },
       .transform = [&](std::span<unsigned char> piece) { cipher.Apply(piece); },
       .consume =
           [&](std::span<const unsigned char> piece) {
             hash.Update(piece);
             return output == nullptr || WriteBytes(*output, piece);
           }},
      PieceSizeFor(left));
  if (!streamed) {
    return reads.Failure();
  }
  return hash.Finish() == stored ? StreamOutcome::kDone : StreamOutcome::kDigestMismatch;
}

}  // namespace hv
