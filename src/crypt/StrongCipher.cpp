#include "crypt/StrongCipher.h"

#include <sodium.h>

#include <new>
#include <optional>
#include <stdexcept>

#include "crypt/ReadFully.h"

namespace hv {
namespace {

using Stream = crypto_secretstream_xchacha20poly1305_state;
constexpr std::size_t kTagSize = crypto_secretstream_xchacha20poly1305_ABYTES;
constexpr std::size_t kSealedChunkSize = kStrongChunkSize + kTagSize;

static_assert(kStreamHeaderSize == crypto_secretstream_xchacha20poly1305_HEADERBYTES);
static_assert(kStrongKeySize == crypto_secretstream_xchacha20poly1305_KEYBYTES);
static_assert(kStrongSaltSize == crypto_pwhash_SALTBYTES);

// Everything secret of one file in guarded memory, locked where the system allows it, and
// wiped when freed.
struct Secrets {
  std::array<unsigned char, kStrongKeySize> key;
  Stream stream;
  std::array<unsigned char, kStrongChunkSize> plain;
};

class SecretMemory {
 public:
  // The library must be ready before its allocator is used: it aborts otherwise.
  SecretMemory() {
    if (!SodiumReady()) {
      throw std::runtime_error("the cryptographic library could not start");
    }
    secrets_ = static_cast<Secrets*>(sodium_malloc(sizeof(Secrets)));
    if (secrets_ == nullptr) {
      throw std::bad_alloc();
    }
  }
  ~SecretMemory() { sodium_free(secrets_); }
  SecretMemory(const SecretMemory&) = delete;
  SecretMemory& operator=(const SecretMemory&) = delete;
  Secrets* operator->() const { return secrets_; }

 private:
  Secrets* secrets_ = nullptr;
};

bool WriteBytes(StagedFile& output, std::span<const unsigned char> bytes) {
  return output.Write(std::as_bytes(bytes));
}

// Whether the input has no byte left; nullopt on a read error.
std::optional<bool> AtEnd(InputStream& input) {
  unsigned char extra = 0;
  const auto count = ReadFully(input, std::span(&extra, 1));
  return count ? std::optional(*count == 0) : std::nullopt;
}

}  // namespace

StrongSeed FreshStrongSeed(const KeyCost& cost) {
  StrongSeed seed{.cost = cost, .salt = {}};
  if (SodiumReady()) {
    randombytes_buf(seed.salt.data(), seed.salt.size());
  }
  return seed;
}

StreamOutcome EncryptStrongStream(InputStream& input, StagedFile& output,
                                  const std::string& password, const StrongSeed& seed,
                                  WorkProgress& progress) {
  SecretMemory secrets;
  StrongHeader header{.cost = seed.cost, .salt = seed.salt, .streamHeader = {}};
  if (!DeriveStrongKey(password, header, secrets->key) ||
      crypto_secretstream_xchacha20poly1305_init_push(&secrets->stream, header.streamHeader.data(),
                                                      secrets->key.data()) != 0) {
    return StreamOutcome::kFailed;
  }
  sodium_memzero(secrets->key.data(), secrets->key.size());
  const StrongHeaderBytes headerBytes = SerializeStrongHeader(header);
  if (!WriteBytes(output, headerBytes)) {
    return StreamOutcome::kFailed;
  }
  std::array<unsigned char, kSealedChunkSize> sealed;
  std::span<const unsigned char> associated = headerBytes;
  for (;;) {
    if (progress.StopRequested()) {
      return StreamOutcome::kStopped;
    }
    const auto count = ReadFully(input, secrets->plain);
    if (!count) {
      return StreamOutcome::kFailed;
    }
    progress.Advance(*count);
    // A short chunk, possibly empty, is the last: its tag tells a cut file from a whole one.
    const bool last = *count < kStrongChunkSize;
    const unsigned char tag = last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
                                   : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE;
    unsigned long long sealedSize = 0;
    crypto_secretstream_xchacha20poly1305_push(&secrets->stream, sealed.data(), &sealedSize,
                                               secrets->plain.data(), *count, associated.data(),
                                               associated.size(), tag);
    associated = {};
    if (!WriteBytes(output, std::span(sealed).first(sealedSize))) {
      return StreamOutcome::kFailed;
    }
    if (last) {
      return StreamOutcome::kDone;
    }
  }
}

StrongOutcome DecryptStrongStream(InputStream& input, StagedFile* output,
                                  const std::string& password, WorkProgress& progress) {
  StrongHeaderBytes headerBytes{};
  const auto headerCount = ReadFully(input, headerBytes);
  if (!headerCount) {
    return StrongOutcome::kFailed;
  }
  const std::optional<StrongHeader> header =
      *headerCount == headerBytes.size() ? ParseStrongHeader(headerBytes) : std::nullopt;
  if (!header) {
    return StrongOutcome::kNotStrong;
  }
  SecretMemory secrets;
  if (!DeriveStrongKey(password, *header, secrets->key)) {
    return StrongOutcome::kFailed;
  }
  const int started = crypto_secretstream_xchacha20poly1305_init_pull(
      &secrets->stream, header->streamHeader.data(), secrets->key.data());
  sodium_memzero(secrets->key.data(), secrets->key.size());
  if (started != 0) {
    return StrongOutcome::kUnauthenticated;
  }
  std::array<unsigned char, kSealedChunkSize> sealed;
  std::span<const unsigned char> associated = headerBytes;
  for (bool first = true;; first = false) {
    const StrongOutcome refused =
        first ? StrongOutcome::kUnauthenticated : StrongOutcome::kRejected;
    if (progress.StopRequested()) {
      return StrongOutcome::kStopped;
    }
    const auto count = ReadFully(input, sealed);
    if (!count) {
      return StrongOutcome::kFailed;
    }
    progress.Advance(*count);
    unsigned long long plainSize = 0;
    unsigned char tag = 0;
    if (*count < kTagSize ||
        crypto_secretstream_xchacha20poly1305_pull(&secrets->stream, secrets->plain.data(),
                                                   &plainSize, &tag, sealed.data(), *count,
                                                   associated.data(), associated.size()) != 0) {
      return refused;
    }
    associated = {};
    const bool last = tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL;
    // Only full chunks go on, and the final one ends the file: anything else is a cut or an
    // addition.
    if (!last &&
        (tag != crypto_secretstream_xchacha20poly1305_TAG_MESSAGE || *count < kSealedChunkSize)) {
      return refused;
    }
    if (last) {
      const auto atEnd = AtEnd(input);
      if (!atEnd) {
        return StrongOutcome::kFailed;
      }
      if (!*atEnd) {
        return refused;
      }
    }
    if (output != nullptr && !WriteBytes(*output, std::span(secrets->plain).first(plainSize))) {
      return StrongOutcome::kFailed;
    }
    if (last) {
      return StrongOutcome::kDone;
    }
  }
}

}  // namespace hv
