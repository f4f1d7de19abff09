#include "crypt/FileCipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "CryptTestData.h"
#include "MemoryStreams.h"

namespace hv {
namespace {

using test::Encrypted;
using test::MemoryInput;
using test::MemoryOutput;
using test::RandomBytes;

constexpr std::size_t kMiB = 1 << 20;

// Every size through pieces of several lengths, both ways; the longest runs more pieces
// through than there are buffers. Decrypting without output only checks the password.
TEST(FileCipherTest, StreamingGivesTheWholeDataBytes) {
  const std::pair<std::size_t, std::size_t> cases[] = {
      {0, 7}, {17, 16}, {kMiB + 33, kMiB}, {3 * kMiB + 5, 65536}};
  for (const auto& [size, pieceSize] : cases) {
    SCOPED_TRACE(testing::Message() << size << " bytes in pieces of " << pieceSize);
    const std::string plain = RandomBytes(size, 0);
    MemoryInput input(plain, pieceSize);
    MemoryOutput encrypted;
    ASSERT_EQ(EncryptStream(input, encrypted, "pieces"), StreamOutcome::kDone);
    EXPECT_EQ(encrypted.written, Encrypted(plain, "pieces"));
    MemoryInput wrong(encrypted.written, pieceSize);
    EXPECT_EQ(DecryptStream(wrong, nullptr, "wrong"),
              size == 0 ? StreamOutcome::kDone : StreamOutcome::kDigestMismatch);
    MemoryInput back(encrypted.written, pieceSize);
    MemoryOutput decrypted;
    ASSERT_EQ(DecryptStream(back, &decrypted, "pieces"), StreamOutcome::kDone);
    EXPECT_EQ(decrypted.written, plain);
  }
}

// One step of one direction spoiled at a time; the file then counts as failed.
TEST(FileCipherTest, FailuresAreReported) {
  constexpr std::size_t kNever = SIZE_MAX, kSize = 3 * kMiB + 5;
  const std::string plain = RandomBytes(kSize, 1);
  const std::string encrypted = Encrypted(plain, "pw");
  const struct {
    const char* name;
    bool encrypt, throws;
    std::size_t failAt, room, lost;  // lost: bytes cut from the file's end once it was opened
  } cases[] = {
      {"read error", true, false, 2 * kMiB, kNever, 0},
      {"read throws", true, true, kMiB, kNever, 0},
      {"write throws", true, true, kNever, kMiB, 0},
      {"read error in the digest", false, false, kSize, kNever, 0},
      {"disk full after a piece", false, false, kNever, kMiB + 1, 0},
      {"cut while read", false, false, kNever, kNever, kSize - 200},
  };
  for (const auto& c : cases) {
    MemoryInput input(c.encrypt ? plain : encrypted, 1000);
    input.data.resize(input.data.size() - c.lost);
    input.failAt = c.failAt;
    input.throws = c.throws;
    MemoryOutput output;
    output.room = c.room;
    output.throws = c.throws;
    const StreamOutcome outcome =
        c.encrypt ? EncryptStream(input, output, "pw") : DecryptStream(input, &output, "pw");
    EXPECT_EQ(outcome, StreamOutcome::kFailed) << (c.encrypt ? "encrypt: " : "decrypt: ") << c.name;
  }
}

}  // namespace
}  // namespace hv
