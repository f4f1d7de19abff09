#pragma once

#include <string>

#include "platform/FileStreams.h"
#include "ports/WorkProgress.h"

namespace hv {

enum class StreamOutcome {
  kDone,
  kDigestMismatch,  // decrypted, but the stored digest disagrees: wrong password or damage
  kFailed,          // a read or write failed, or the input is too short to hold a digest
  kStopped,         // the user asked to stop; what was written must be thrown away
};

// Writes the encrypted form of the input: the RC4 output followed by the MD5 digest of the
// plain bytes (nothing at all for empty input). Works in pieces of constant size, so the
// bytes are those of the whole-file transformation at any file size. Each piece read
// advances progress; a stop asked for is seen before the next piece is read.
StreamOutcome EncryptStream(InputStream& input, StagedFile& output, const std::string& password,
                            WorkProgress& progress = NoProgress());

// Decrypts an encrypted input and checks its trailing digest. Without an output the plain
// bytes are only checked, never kept. Progress as for EncryptStream.
StreamOutcome DecryptStream(InputStream& input, StagedFile* output, const std::string& password,
                            WorkProgress& progress = NoProgress());

}  // namespace hv
