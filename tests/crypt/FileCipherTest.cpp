#include "crypt/FileCipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "crypt/Crypto.h"

namespace hv {
namespace {

// Input held in memory, handed out in pieces of at most pieceSize bytes; a read at or past
// failAt fails, like a disk error in the middle of a file.
class MemoryInput : public InputStream {
 public:
  MemoryInput(std::string data, std::size_t pieceSize, std::size_t failAt = SIZE_MAX)
      : data_(std::move(data)), pieceSize_(pieceSize), failAt_(failAt) {}

  uint64_t Length() const override { return data_.size(); }

  std::optional<size_t> Read(std::span<std::byte> buffer) override {
    if (position_ >= failAt_) {
      return std::nullopt;
    }
    const std::size_t count = std::min({buffer.size(), pieceSize_, data_.size() - position_});
    std::memcpy(buffer.data(), data_.data() + position_, count);
    position_ += count;
    return count;
  }

 private:
  std::string data_;
  std::size_t pieceSize_;
  std::size_t failAt_;
  std::size_t position_ = 0;
};

class MemoryOutput : public StagedFile {
 public:
  std::string written;
  bool full = false;  // every write fails, like a full disk

  bool Write(std::span<const std::byte> data) override {
    if (full) {
      return false;
    }
    written.append(reinterpret_cast<const char*>(data.data()), data.size());
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

struct SizeCase {
  std::size_t size;
  std::size_t pieceSize;
};

class FileCipherSizeTest : public testing::TestWithParam<SizeCase> {};

TEST_P(FileCipherSizeTest, StreamingGivesTheWholeDataBytes) {
  const auto [size, pieceSize] = GetParam();
  const std::string plain = RandomBytes(size);
  std::string whole = plain;
  Crypto().DataCrypt(whole, "pieces", true);

  MemoryInput input(plain, pieceSize);
  MemoryOutput encrypted;
  ASSERT_EQ(EncryptStream(input, encrypted, "pieces"), StreamOutcome::kDone);
  EXPECT_EQ(encrypted.written, whole);

  MemoryInput back(encrypted.written, pieceSize);
  MemoryOutput decrypted;
  ASSERT_EQ(DecryptStream(back, &decrypted, "pieces"), StreamOutcome::kDone);
  EXPECT_EQ(decrypted.written, plain);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FileCipherSizeTest,
                         testing::Values(SizeCase{0, 7}, SizeCase{1, 1}, SizeCase{15, 4},
                                         SizeCase{16, 3}, SizeCase{17, 16}, SizeCase{1000, 999},
                                         SizeCase{(1 << 20) + 33, 1 << 20},
                                         SizeCase{(3 << 20) + 5, 65536}));

TEST(FileCipherTest, CheckOnlyDecryptionTellsRightFromWrongPassword) {
  MemoryInput input("some plain text", 64);
  MemoryOutput encrypted;
  ASSERT_EQ(EncryptStream(input, encrypted, "right"), StreamOutcome::kDone);
  for (const auto& [password, outcome] : {std::pair{"right", StreamOutcome::kDone},
                                          std::pair{"wrong", StreamOutcome::kDigestMismatch}}) {
    MemoryInput back(encrypted.written, 5);
    EXPECT_EQ(DecryptStream(back, nullptr, password), outcome) << password;
  }
}

TEST(FileCipherTest, FailuresAreReported) {
  const std::string plain = RandomBytes(5000);
  std::string encrypted = plain;
  Crypto().DataCrypt(encrypted, "pw", true);

  MemoryInput readError(plain, 1000, 3000);
  MemoryOutput sink;
  EXPECT_EQ(EncryptStream(readError, sink, "pw"), StreamOutcome::kFailed);

  MemoryInput input(plain, 1000);
  MemoryOutput fullDisk;
  fullDisk.full = true;
  EXPECT_EQ(EncryptStream(input, fullDisk, "pw"), StreamOutcome::kFailed);

  MemoryInput decryptReadError(encrypted, 1000, 2000);
  EXPECT_EQ(DecryptStream(decryptReadError, &sink, "pw"), StreamOutcome::kFailed);

  MemoryInput decryptInput(encrypted, 1000);
  EXPECT_EQ(DecryptStream(decryptInput, &fullDisk, "pw"), StreamOutcome::kFailed);

  for (const std::size_t shortLength : {1u, 15u}) {
    MemoryInput tooShort(encrypted.substr(0, shortLength), 64);
    EXPECT_EQ(DecryptStream(tooShort, &sink, "pw"), StreamOutcome::kFailed) << shortLength;
  }
}

// A file that is shorter than it said when it was opened (cut while being read).
class ShrunkInput : public MemoryInput {
 public:
  ShrunkInput(std::string data, uint64_t claimed)
      : MemoryInput(std::move(data), 64), claimed_(claimed) {}
  uint64_t Length() const override { return claimed_; }

 private:
  uint64_t claimed_;
};

TEST(FileCipherTest, FileCutWhileReadIsAFailure) {
  std::string encrypted = RandomBytes(300);
  Crypto().DataCrypt(encrypted, "pw", true);
  ShrunkInput input(encrypted.substr(0, 200), encrypted.size());
  MemoryOutput sink;
  EXPECT_EQ(DecryptStream(input, &sink, "pw"), StreamOutcome::kFailed);
}

}  // namespace
}  // namespace hv
