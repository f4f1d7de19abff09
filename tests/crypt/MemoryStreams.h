#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include "platform/FileStreams.h"

namespace hv::test {

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

}  // namespace hv::test
