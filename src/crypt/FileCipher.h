#pragma once

#include <string>

#include "platform/FileStreams.h"

namespace hv {

enum class StreamOutcome {
  kDone,
  kDigestMismatch,  // decrypted, but the stored digest disagrees: wrong password or damage
  kFailed,          // a read or write failed, or the input is too short to hold a digest
};

// Writes the encrypted form of the input: the RC4 output followed by the MD5 digest of the
// plain bytes (nothing at all for empty input). Works in pieces of constant size, so the
// bytes are those of the whole-file transformation at any file size.
StreamOutcome EncryptStream(InputStream& input, StagedFile& output, const std::string& password);

// Decrypts an encrypted input and checks its trailing digest. Without an output the plain
// bytes are only checked, never kept.
StreamOutcome DecryptStream(InputStream& input, StagedFile* output, const std::string& password);

}  // namespace hv
