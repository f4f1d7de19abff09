#include "crypt/FileCipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <stdexcept>

#include "crypt/Crypto.h"

namespace hv {
namespace {

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

std::string RandomBytes(std::size_t size) {
  std::mt19937 generator(static_cast<unsigned>(size));
  std::string data(size, '\0');
  for (char& c : data) {
    c = static_cast<char>(generator());
  }
  return data;
}

std::string Encrypted(std::string plain, const std::string& password) {
  Crypto().DataCrypt(plain, password, true);
  return plain;
}

struct SizeCase {
  std::size_t size;
  std::size_t pieceSize;
};

class FileCipherSizeTest : public testing::TestWithParam<SizeCase> {};

TEST_P(FileCipherSizeTest, StreamingGivesTheWholeDataBytes) {
  const auto [size, pieceSize] = GetParam();
  const std::string plain = RandomBytes(size);
  MemoryInput input(plain, pieceSize);
  MemoryOutput encrypted;
  ASSERT_EQ(EncryptStream(input, encrypted, "pieces"), StreamOutcome::kDone);
  EXPECT_EQ(encrypted.written, Encrypted(plain, "pieces"));

  MemoryInput back(encrypted.written, pieceSize);
  MemoryOutput decrypted;
  ASSERT_EQ(DecryptStream(back, &decrypted, "pieces"), StreamOutcome::kDone);
  EXPECT_EQ(decrypted.written, plain);
}

// The longest runs more pieces through than there are buffers.
INSTANTIATE_TEST_SUITE_P(Sizes, FileCipherSizeTest,
                         testing::Values(SizeCase{0, 7}, SizeCase{1, 1}, SizeCase{15, 4},
                                         SizeCase{16, 3}, SizeCase{17, 16}, SizeCase{1000, 999},
                                         SizeCase{(1 << 20) + 33, 1 << 20},
                                         SizeCase{(3 << 20) + 5, 65536}));

TEST(FileCipherTest, CheckOnlyDecryptionTellsRightFromWrongPassword) {
  for (const auto& [password, outcome] : {std::pair{"right", StreamOutcome::kDone},
                                          std::pair{"wrong", StreamOutcome::kDigestMismatch}}) {
    MemoryInput input(Encrypted("some plain text", "right"), 5);
    EXPECT_EQ(DecryptStream(input, nullptr, password), outcome) << password;
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
  constexpr std::size_t kMiB = 1 << 20, kAll = SIZE_MAX, kSize = 3 * kMiB + 5;
  const std::string plain = RandomBytes(kSize);
  const std::string encrypted = Encrypted(plain, "pw");
  const FailureCase cases[] = {
      {"read error", true, kAll, kSize, 2 * kMiB, kAll, false},
      {"read throws", true, kAll, kSize, kMiB, kAll, true},
      {"full disk", true, kAll, kSize, kAll, 0, false},
      {"write throws", true, kAll, kSize, kAll, kMiB, true},
      {"read error", false, kAll, kSize + 16, 2 * kMiB, kAll, false},
      {"read error in the digest", false, kAll, kSize + 16, kSize, kAll, false},
      {"disk full after a piece", false, kAll, kSize + 16, kAll, kMiB + 1, false},
      {"one byte", false, 1, 1, kAll, kAll, false},
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
