#include "crypt/StrongCipher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CryptTestData.h"
#include "MemoryStreams.h"

namespace hv {
namespace {

using test::MemoryInput;
using test::MemoryOutput;
using test::RandomBytes;

constexpr std::size_t kChunk = kStrongChunkSize;
constexpr std::size_t kSealed = kChunk + 17;
// The cheapest cost the format allows keeps the tests fast; the format is the same.
constexpr KeyCost kCheap{.passes = 1, .memoryBytes = 8192};
constexpr StrongSeed kFixedSeed{
    .cost = kCheap,
    .salt = {'h', 'u', 's', 'h', 'v', 'a', 'u', 'l', 't', ' ', 's', 'a', 'l', 't', '1', '6'}};

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

std::string ToHex(std::span<const unsigned char> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

std::string EncryptStrong(const std::string& plain, const std::string& password,
                          const StrongSeed& seed = kFixedSeed) {
  MemoryInput input(plain, 4096);
  MemoryOutput output;
  EXPECT_EQ(EncryptStrongStream(input, output, password, seed), StreamOutcome::kDone);
  return output.written;
}

struct Decrypted {
  StrongOutcome outcome;
  std::string plain;
};

Decrypted DecryptStrong(const std::string& file, const std::string& password,
                        std::size_t pieceSize = 5000) {
  MemoryInput input(file, pieceSize);
  MemoryOutput output;
  const StrongOutcome outcome = DecryptStrongStream(input, &output, password);
  return {outcome, output.written};
}

// Known answers, also given in the format's documentation: the key Argon2id derives, and a
// whole file made with that salt and cost (its stream header is random, so it was recorded).
TEST(StrongCipherTest, KnownAnswers) {
  const StrongHeader header{.cost = kCheap, .salt = kFixedSeed.salt, .streamHeader = {}};
  std::array<unsigned char, kStrongKeySize> key{};
  ASSERT_TRUE(DeriveStrongKey("correct horse", header, key));
  EXPECT_EQ(ToHex(key), "51c70c2b54d1658c28541797677f2f05d51040dd0d1d9ef1e2b09be5e9521567");

  const std::string file = FromHex(
      "48565354524f4e4701010000000020000000000000687573687661756c742073616c743136"
      "5ed9f04a81206a51625e63b58d62ae045b264b166bd4a13f"
      "a5ee0deedd605a5117959e4d18dbe5354332cdc08c69f661e9beeb");
  const Decrypted back = DecryptStrong(file, "correct horse");
  EXPECT_EQ(back.outcome, StrongOutcome::kDone);
  EXPECT_EQ(back.plain, "Hushvault\n");
  EXPECT_EQ(DecryptStrong(file, "correct horsE").outcome, StrongOutcome::kUnauthenticated);

  // Magic, version, passes, memory and salt as the seed gives them.
  EXPECT_EQ(ToHex(SerializeStrongHeader(header)).substr(0, 2 * 37),
            "48565354524f4e4701"
            "01000000"
            "0020000000000000"
            "687573687661756c742073616c743136");
  EXPECT_EQ(EncryptStrong("Hushvault\n", "correct horse").substr(0, 37), file.substr(0, 37));
}

// Sizes around the chunk size: every chunk but the last is full, the last may be empty.
TEST(StrongCipherTest, RoundTripsAroundTheChunkSize) {
  const std::size_t sizes[] = {0, 1, kChunk - 1, kChunk, kChunk + 1, 3 * kChunk, (1 << 20) + 7};
  for (const std::size_t size : sizes) {
    SCOPED_TRACE(size);
    const std::string plain = RandomBytes(size, static_cast<unsigned>(size));
    const std::string file = EncryptStrong(plain, "pw", FreshStrongSeed(kCheap));
    EXPECT_EQ(file.size(), kStrongHeaderSize + (size / kChunk + 1) * 17 + size);
    for (const std::size_t pieceSize : {std::size_t{1} << 20, std::size_t{777}}) {
      const Decrypted back = DecryptStrong(file, "pw", pieceSize);
      EXPECT_EQ(back.outcome, StrongOutcome::kDone);
      EXPECT_EQ(back.plain, plain);
    }
  }
}

// Two files of the same content and password share nothing but the magic, version and cost.
TEST(StrongCipherTest, FreshSaltsMakeDifferentFiles) {
  const std::string first = EncryptStrong("same", "pw", FreshStrongSeed(kCheap));
  const std::string second = EncryptStrong("same", "pw", FreshStrongSeed(kCheap));
  ASSERT_EQ(first.size(), second.size());
  EXPECT_EQ(first.substr(0, 21), second.substr(0, 21));
  EXPECT_NE(first.substr(21, 16), second.substr(21, 16));
  EXPECT_NE(first.substr(37), second.substr(37));
}

// A changed header or first chunk reads as another format or a wrong password; any damage
// after the first chunk as a damaged strong file. Either way the caller writes nothing.
TEST(StrongCipherTest, EveryTamperingIsRefused) {
  const std::string plain = RandomBytes(2 * kChunk + 100, 7);
  const std::string file = EncryptStrong(plain, "pw");
  ASSERT_EQ(file.size(), kStrongHeaderSize + 2 * kSealed + 117);
  const std::size_t chunkStart[] = {kStrongHeaderSize, kStrongHeaderSize + kSealed,
                                    kStrongHeaderSize + 2 * kSealed};
  struct Case {
    std::string what;
    std::string file;
    StrongOutcome expected;
  };
  std::vector<Case> cases;
  const auto flipped = [&](std::size_t at) {
    std::string changed = file;
    changed[at] = static_cast<char>(changed[at] ^ 1);
    return changed;
  };
  // A changed magic, version or pass count (any change leaves the sane range) or a high byte
  // of the memory (beyond 1 GiB) is no strong header at all; other changes fail to
  // authenticate.
  for (std::size_t at = 0; at < kStrongHeaderSize; ++at) {
    const bool noHeader = at <= 12 || (at >= 17 && at <= 20);
    cases.push_back({"header byte " + std::to_string(at), flipped(at),
                     noHeader ? StrongOutcome::kNotStrong : StrongOutcome::kUnauthenticated});
  }
  for (std::size_t chunk = 0; chunk < 3; ++chunk) {
    const StrongOutcome expected =
        chunk == 0 ? StrongOutcome::kUnauthenticated : StrongOutcome::kRejected;
    const std::size_t end = chunk < 2 ? chunkStart[chunk] + kSealed : file.size();
    for (const std::size_t at :
         {chunkStart[chunk], (chunkStart[chunk] + end) / 2, end - 17, end - 1}) {
      cases.push_back({"chunk " + std::to_string(chunk) + " byte " + std::to_string(at),
                       flipped(at), expected});
    }
  }
  const std::pair<std::size_t, StrongOutcome> cuts[] = {
      {30, StrongOutcome::kNotStrong},
      {kStrongHeaderSize, StrongOutcome::kUnauthenticated},
      {chunkStart[0] + 100, StrongOutcome::kUnauthenticated},
      {chunkStart[1], StrongOutcome::kRejected},
      {chunkStart[1] + 5, StrongOutcome::kRejected},
      {chunkStart[2], StrongOutcome::kRejected},
      {file.size() - 1, StrongOutcome::kRejected}};
  for (const auto& [length, expected] : cuts) {
    cases.push_back({"cut at " + std::to_string(length), file.substr(0, length), expected});
  }
  cases.push_back({"chunks swapped",
                   file.substr(0, chunkStart[0]) + file.substr(chunkStart[1], kSealed) +
                       file.substr(chunkStart[0], kSealed) + file.substr(chunkStart[2]),
                   StrongOutcome::kUnauthenticated});
  cases.push_back({"byte added", file + '\0', StrongOutcome::kRejected});
  cases.push_back(
      {"final chunk repeated", file + file.substr(chunkStart[2]), StrongOutcome::kRejected});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(DecryptStrong(c.file, "pw").outcome, c.expected);
  }
}

// Costs outside the sane range are refused from the header alone: no memory is asked for.
TEST(StrongCipherTest, AbsurdCostsAreRefusedBeforeAnyWork) {
  const struct {
    KeyCost cost;
    bool sane;
  } cases[] = {
      {{1, 8192}, true},
      {DefaultKeyCost(), true},
      {{10, uint64_t{1} << 30}, true},
      {{0, 8192}, false},
      {{11, 8192}, false},
      {{0xffffffff, 8192}, false},
      {{1, 8191}, false},
      {{1, (uint64_t{1} << 30) + 1}, false},
      {{1, ~uint64_t{0}}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.cost.passes << " passes, " << c.cost.memoryBytes);
    EXPECT_EQ(IsSaneKeyCost(c.cost), c.sane);
    const StrongHeader header{.cost = c.cost, .salt = {}, .streamHeader = {}};
    EXPECT_EQ(ParseStrongHeader(SerializeStrongHeader(header)).has_value(), c.sane);
    if (!c.sane) {
      const StrongHeaderBytes bytes = SerializeStrongHeader(header);
      EXPECT_EQ(DecryptStrong(std::string(bytes.begin(), bytes.end()) + std::string(100, 'x'), "pw")
                    .outcome,
                StrongOutcome::kNotStrong);
    }
  }
}

// Read and write failures are failures, not wrong passwords.
TEST(StrongCipherTest, StreamFailuresAreReported) {
  const std::string file = EncryptStrong(RandomBytes(3 * kChunk, 3), "pw");
  for (const std::size_t failAt : {std::size_t{0}, kStrongHeaderSize, file.size()}) {
    SCOPED_TRACE(failAt);
    MemoryInput input(file, 4096);
    input.failAt = failAt;
    EXPECT_EQ(DecryptStrongStream(input, nullptr, "pw"), StrongOutcome::kFailed);
  }
  MemoryInput input(file, 4096);
  MemoryOutput full;
  full.room = kChunk + 1;
  EXPECT_EQ(DecryptStrongStream(input, &full, "pw"), StrongOutcome::kFailed);

  for (const std::size_t room : {std::size_t{10}, kStrongHeaderSize + 100}) {
    MemoryInput plain(RandomBytes(kChunk + 5, 4), 4096);
    MemoryOutput output;
    output.room = room;
    EXPECT_EQ(EncryptStrongStream(plain, output, "pw", kFixedSeed), StreamOutcome::kFailed) << room;
  }
  MemoryInput broken(RandomBytes(kChunk + 5, 4), 4096);
  broken.failAt = 10;
  MemoryOutput output;
  EXPECT_EQ(EncryptStrongStream(broken, output, "pw", kFixedSeed), StreamOutcome::kFailed);
}

}  // namespace
}  // namespace hv
