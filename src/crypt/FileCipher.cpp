#include "crypt/FileCipher.h"

#include <algorithm>
#include <future>
#include <vector>

#include "crypt/CipherStreams.h"
#include "crypt/WipeSecret.h"

namespace hv {
namespace {

constexpr std::size_t kPieceSize = 4 << 20;

// A piece buffer that does not leave plain bytes behind in freed memory.
class PieceBuffer {
 public:
  PieceBuffer() : bytes_(kPieceSize) {}
  ~PieceBuffer() { WipeBytes(bytes_.data(), bytes_.size()); }
  PieceBuffer(const PieceBuffer&) = delete;
  PieceBuffer& operator=(const PieceBuffer&) = delete;

  std::span<unsigned char> First(std::size_t count) { return {bytes_.data(), count}; }
  std::size_t Size() const { return bytes_.size(); }

 private:
  std::vector<unsigned char> bytes_;
};

// Hashes each piece on a second thread while the cipher and the disk work on the next, so
// that a file takes about as long as the slower of the two, not their sum. A piece must stay
// unchanged until the next Add or Finish.
class HashBehind {
 public:
  ~HashBehind() { Wait(); }

  void Add(std::span<const unsigned char> piece) {
    Wait();
    pending_ = std::async(std::launch::async, [this, piece] { hash_.Update(piece); });
  }

  Digest Finish() {
    Wait();
    return hash_.Finish();
  }

 private:
  void Wait() {
    if (pending_.valid()) {
      pending_.get();
    }
  }

  Md5Stream hash_;
  std::future<void> pending_;
};

// Fills the whole span unless the input ends first; nullopt on a read error.
std::optional<std::size_t> ReadFully(InputStream& input, std::span<unsigned char> bytes) {
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const auto count = input.Read(std::as_writable_bytes(bytes.subspan(filled)));
    if (!count) {
      return std::nullopt;
    }
    if (*count == 0) {
      break;
    }
    filled += *count;
  }
  return filled;
}

bool WriteBytes(StagedFile& output, std::span<const unsigned char> bytes) {
  return output.Write(std::as_bytes(bytes));
}

}  // namespace

StreamOutcome EncryptStream(InputStream& input, StagedFile& output, const std::string& password) {
  CipherStream cipher(password);
  PieceBuffer plain[2];
  PieceBuffer encrypted;
  HashBehind hash;
  bool anyBytes = false;
  for (int turn = 0;; turn ^= 1) {
    const auto count = input.Read(std::as_writable_bytes(plain[turn].First(plain[turn].Size())));
    if (!count) {
      return StreamOutcome::kFailed;
    }
    if (*count == 0) {
      break;
    }
    const auto piece = plain[turn].First(*count);
    hash.Add(piece);
    const auto out = encrypted.First(*count);
    std::copy(piece.begin(), piece.end(), out.begin());
    cipher.Apply(out);
    if (!WriteBytes(output, out)) {
      return StreamOutcome::kFailed;
    }
    anyBytes = true;
  }
  // Empty data carries no digest.
  return !anyBytes || WriteBytes(output, hash.Finish()) ? StreamOutcome::kDone
                                                        : StreamOutcome::kFailed;
}

StreamOutcome DecryptStream(InputStream& input, StagedFile* output, const std::string& password) {
  const uint64_t length = input.Length();
  if (length == 0) {
    return StreamOutcome::kDone;
  }
  if (length < kDigestSize) {
    return StreamOutcome::kFailed;
  }
  CipherStream cipher(password);
  PieceBuffer plain[2];
  HashBehind hash;
  int turn = 0;
  for (uint64_t left = length - kDigestSize; left > 0; turn ^= 1) {
    const auto piece =
        plain[turn].First(static_cast<std::size_t>(std::min<uint64_t>(left, kPieceSize)));
    // A file that shrinks while it is read cannot be decrypted.
    if (ReadFully(input, piece) != piece.size()) {
      return StreamOutcome::kFailed;
    }
    cipher.Apply(piece);
    hash.Add(piece);
    if (output && !WriteBytes(*output, piece)) {
      return StreamOutcome::kFailed;
    }
    left -= piece.size();
  }
  Digest stored{};
  if (ReadFully(input, stored) != stored.size()) {
    return StreamOutcome::kFailed;
  }
  return hash.Finish() == stored ? StreamOutcome::kDone : StreamOutcome::kDigestMismatch;
}

}  // namespace hv
