#pragma once

#include <array>
#include <string>

#include "crypt/FileCipher.h"
#include "crypt/StrongHeader.h"
#include "platform/FileStreams.h"

namespace hv {

// Plain bytes per chunk of a strong file; every chunk but the last holds exactly this many.
inline constexpr std::size_t kStrongChunkSize = 64 << 10;

// What a new strong file is keyed with: its cost and salt.
struct StrongSeed {
  KeyCost cost;
  std::array<unsigned char, kStrongSaltSize> salt;
};

// The given cost with a fresh random salt.
StrongSeed FreshStrongSeed(const KeyCost& cost);

// Writes the strong form of the input: the header, then the chunks, each authenticated, the
// last marked final. The header is authenticated with the first chunk. Each chunk read
// advances progress; a stop asked for is seen before the next chunk is read.
StreamOutcome EncryptStrongStream(InputStream& input, StagedFile& output,
                                  const std::string& password, const StrongSeed& seed,
                                  WorkProgress& progress = NoProgress());

enum class StrongOutcome {
  kDone,
  kNotStrong,        // no strong header: another format
  kUnauthenticated,  // a strong header that did not authenticate: wrong password, or another
                     // format that happens to start the same way
  kRejected,         // the header authenticated, a later chunk did not: damaged, cut or reordered
  kFailed,           // a read or write failed, or the key's memory could not be had
  kStopped,          // the user asked to stop; what was written must be thrown away
};

// Decrypts a strong input. Nothing is written before the first chunk authenticates; the
// caller commits the output only on kDone. Without an output the input is only checked.
// Progress as for EncryptStrongStream.
StrongOutcome DecryptStrongStream(InputStream& input, StagedFile* output,
                                  const std::string& password,
                                  WorkProgress& progress = NoProgress());

}  // namespace hv
