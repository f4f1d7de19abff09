#include "platform/posix/browser/CacheFileKey.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace hv {
namespace {

// Keys longer than this are not believed: the file is then not what it seems.
constexpr uint64_t kLongestKey = 64 * 1024;

// Chromium simple cache: magic (8), version (4), key length (4), key hash (4), padding (4).
constexpr uint64_t kSimpleCacheMagic = 0xfcfb6d1ba7725c30ull;
constexpr uint64_t kSimpleHeaderSize = 24;

// Firefox cache2: the file ends with the big-endian offset of its metadata; the metadata
// starts with a hash (4) and one 16-bit hash per 256 KiB chunk of data, then a header of
// 32-bit big-endian fields (28 bytes in version 1, 32 later) whose seventh is the key size.
constexpr uint64_t kFirefoxChunkSize = 256 * 1024;
constexpr uint32_t kFirefoxNewestVersion = 3;

// Opens without touching the file's access time where the system allows it (the user's
// own files): a cleaner that only looks should leave no trace of looking, and the inode
// stays clean, which spares the disk a write per file.
int OpenForReading(int folderFd, const char* name) {
  constexpr int kFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  const int fd = openat(folderFd, name, kFlags | O_NOATIME);
  return fd >= 0 || errno != EPERM ? fd : openat(folderFd, name, kFlags);
}

// Reads a file through one read of its head, which holds the whole of most cache files,
// and further reads only where a larger file needs them: a walk reads thousands of these.
class ReadOnlyFile {
 public:
  ReadOnlyFile(int folderFd, const char* name) : fd_(OpenForReading(folderFd, name)) {
    if (fd_ < 0) {
      return;
    }
    const ssize_t got = pread(fd_, head_.data(), head_.size(), 0);
    if (got < 0) {
      return;  // a folder, a pipe: nothing to read a key from
    }
    headSize_ = static_cast<size_t>(got);
    if (headSize_ < head_.size()) {
      size_ = headSize_;
      return;
    }
    struct stat info {};
    if (fstat(fd_, &info) == 0 && S_ISREG(info.st_mode)) {
      size_ = static_cast<uint64_t>(info.st_size);
    }
  }
  ~ReadOnlyFile() {
    if (fd_ >= 0) {
      close(fd_);
    }
  }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // Nothing for what is not an ordinary, readable file.
  std::optional<uint64_t> Size() const { return size_; }

  bool ReadAt(uint64_t offset, void* buffer, size_t size) const {
    if (offset + size <= headSize_) {
      std::memcpy(buffer, head_.data() + offset, size);
      return true;
    }
    return pread(fd_, buffer, size, static_cast<off_t>(offset)) == static_cast<ssize_t>(size);
  }

  std::optional<std::string> TextAt(uint64_t offset, uint64_t size) const {
    std::string text(size, '\0');
    if (!ReadAt(offset, text.data(), text.size())) {
      return std::nullopt;
    }
    return text;
  }

 private:
  int fd_;
  std::array<char, 4096> head_;  // not cleared: only the bytes read are ever used
  size_t headSize_ = 0;
  std::optional<uint64_t> size_;
};

uint32_t LittleEndian32(const unsigned char* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint32_t BigEndian32(const unsigned char* bytes) {
  return static_cast<uint32_t>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
}

uint64_t LittleEndian64(const unsigned char* bytes) {
  return LittleEndian32(bytes) | static_cast<uint64_t>(LittleEndian32(bytes + 4)) << 32;
}

// A key worth showing: not empty, no NUL inside, and shaped like a URL key (a scheme's ':').
bool LooksLikeKey(const std::string& key) {
  return !key.empty() && key.find('\0') == std::string::npos && key.find(':') != std::string::npos;
}

std::optional<std::string> SimpleCacheKey(const ReadOnlyFile& file, uint64_t size) {
  std::array<unsigned char, kSimpleHeaderSize> header{};
  if (size < kSimpleHeaderSize || !file.ReadAt(0, header.data(), header.size()) ||
      LittleEndian64(header.data()) != kSimpleCacheMagic) {
    return std::nullopt;
  }
  const uint64_t keySize = LittleEndian32(header.data() + 12);
  if (keySize > kLongestKey || kSimpleHeaderSize + keySize > size) {
    return std::nullopt;
  }
  return file.TextAt(kSimpleHeaderSize, keySize);
}

std::optional<std::string> FirefoxCacheKey(const ReadOnlyFile& file, uint64_t size) {
  std::array<unsigned char, 4> tail{};
  if (size < 8 || !file.ReadAt(size - 4, tail.data(), tail.size())) {
    return std::nullopt;
  }
  const uint64_t metadata = BigEndian32(tail.data());
  const uint64_t chunks = (metadata + kFirefoxChunkSize - 1) / kFirefoxChunkSize;
  const uint64_t headerStart = metadata + 4 + 2 * chunks;
  std::array<unsigned char, 32> header{};
  if (headerStart + header.size() > size - 4 ||
      !file.ReadAt(headerStart, header.data(), header.size())) {
    return std::nullopt;
  }
  const uint32_t version = BigEndian32(header.data());
  if (version < 1 || version > kFirefoxNewestVersion) {
    return std::nullopt;
  }
  const uint64_t keyStart = headerStart + (version == 1 ? 28 : 32);
  const uint64_t keySize = BigEndian32(header.data() + 24);
  if (keySize > kLongestKey || keyStart + keySize > size - 4) {
    return std::nullopt;
  }
  return file.TextAt(keyStart, keySize);
}

}  // namespace

std::optional<std::string> ReadCacheFileKey(int folderFd, const char* name) {
  const ReadOnlyFile file(folderFd, name);
  const std::optional<uint64_t> size = file.Size();
  if (!size) {
    return std::nullopt;
  }
  for (const auto& reader : {SimpleCacheKey, FirefoxCacheKey}) {
    if (std::optional<std::string> key = reader(file, *size); key && LooksLikeKey(*key)) {
      return key;
    }
  }
  return std::nullopt;
}

std::optional<std::string> ReadCacheFileKey(const std::string& path) {
  return ReadCacheFileKey(AT_FDCWD, path.c_str());
}

}  // namespace hv
