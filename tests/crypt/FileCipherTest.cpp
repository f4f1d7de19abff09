#include "crypt/FileCipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "CryptTestData.h"

namespace hv {
namespace {

using test::Encrypted;
using test::RandomBytes;

constexpr std::size_t kMiB = 1 << 20;

// Input held in memory, handed out in pieces of at most pieceSize bytes. A read at or past
// failAt fails (or throws), like a disk error in the middle of a file; claimed is the length
// the file had when it was opened.
struct MemoryInput : InputStream {
  std::string data;
  std::size_t pieceSize;
  uint64_t claimed = data.size();
  std::size_t failAt = SIZE_MAX;
  bool throws = false;
  std::size_t position = 0;

  MemoryInput(std::string bytes, std::size_t piece) : data(std::move(bytes)), pieceSize(piece) {}
  uint64_t Length() const override { return claimed; }
  std::optional<size_t> Read(std::span<std::byte> buffer) override {
    if (position >= failAt) {
      return throws ? throw std::runtime_error("read") : std::optional<size_t>();
    }
    const std::size_t count = std::min({buffer.size(), pieceSize, data.size() - position});
    std::memcpy(buffer.data(), data.data() + position, count);
    position += count;
    return count;
  }
};

// Takes room bytes; the write that would pass them fails (or throws), like a full disk.
struct MemoryOutput : StagedFile {
  std::string written;
  std::size_t room = SIZE_MAX;
  bool throws = false;

  bool Write(std::span<const std::byte> bytes) override {
    if (written.size() + bytes.size() > room) {
      return throws ? throw std::runtime_error("write") : false;
    }
    written.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return true;
  }
  bool Commit() override { return true; }
};

// Every size through pieces of several lengths, both ways; the longest runs more pieces
// through than there are buffers. Decrypting without output only checks the password.
TEST(FileCipherTest, StreamingGivesTheWholeDataBytes) {
  const std::pair<std::size_t, std::size_t> cases[] = {
      {0, 7},   {1, 1},      {15, 4},           {16, 3},
      {17, 16}, {1000, 999}, {kMiB + 33, kMiB}, {3 * kMiB + 5, 65536}};
  for (const auto& [size, pieceSize] : cases) {
    SCOPED_TRACE(testing::Message() << size << " bytes in pieces of " << pieceSize);
    const std::string plain = RandomBytes(size, 0);
    MemoryInput input(plain, pieceSize);
    MemoryOutput encrypted;
    ASSERT_EQ(EncryptStream(input, encrypted, "pieces"), StreamOutcome::kDone);
    EXPECT_EQ(encrypted.written, Encrypted(plain, "pieces"));
    for (const auto& [password, outcome] : {std::pair{"pieces", StreamOutcome::kDone},
                                            std::pair{"wrong", StreamOutcome::kDigestMismatch}}) {
      MemoryInput back(encrypted.written, pieceSize);
      EXPECT_EQ(DecryptStream(back, nullptr, password), size == 0 ? StreamOutcome::kDone : outcome);
    }
    MemoryInput back(encrypted.written, pieceSize);
    MemoryOutput decrypted;
    ASSERT_EQ(DecryptStream(back, &decrypted, "pieces"), StreamOutcome::kDone);
    EXPECT_EQ(decrypted.written, plain);
  }
}

struct FailureCase {
  const char* name;
  bool encrypt;
  std::size_t inputBytes;  // taken from the start of the plain or encrypted data
  uint64_t claimed;        // the length when opened
  std::size_t failAt;
  std::size_t room;
  bool throws;
};

TEST(FileCipherTest, FailuresAreReported) {
  constexpr std::size_t kAll = SIZE_MAX, kSize = 3 * kMiB + 5;
  const std::string plain = RandomBytes(kSize, 1);
  const std::string encrypted = Encrypted(plain, "pw");
  const FailureCase cases[] = {
      {"read error", true, kAll, kSize, 2 * kMiB, kAll, false},
      {"read throws", true, kAll, kSize, kMiB, kAll, true},
      {"full disk", true, kAll, kSize, kAll, 0, false},
      {"write throws", true, kAll, kSize, kAll, kMiB, true},
      {"read error", false, kAll, kSize + 16, 2 * kMiB, kAll, false},
      {"read error in the digest", false, kAll, kSize + 16, kSize, kAll, false},
      {"disk full after a piece", false, kAll, kSize + 16, kAll, kMiB + 1, false},
      {"shorter than a digest", false, 15, 15, kAll, kAll, false},
      {"cut while read", false, 200, kSize + 16, kAll, kAll, false},
  };
  for (const FailureCase& c : cases) {
    MemoryInput input((c.encrypt ? plain : encrypted).substr(0, c.inputBytes), 1000);
    input.claimed = c.claimed;
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
