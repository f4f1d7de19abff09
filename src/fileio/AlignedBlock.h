#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <span>

namespace hv {

// A buffer that starts on a page boundary, as writes that bypass the system's cache need.
class AlignedBlock {
 public:
  static constexpr std::align_val_t kAlignment{4096};

  explicit AlignedBlock(size_t size) : data_(new (kAlignment) std::byte[size]), size_(size) {}

  std::span<std::byte> Bytes() { return {data_.get(), size_}; }
  std::span<const std::byte> Bytes() const { return {data_.get(), size_}; }

 private:
  struct Release {
    void operator()(std::byte* data) const { ::operator delete[](data, kAlignment); }
  };
  std::unique_ptr<std::byte[], Release> data_;
  size_t size_;
};

}  // namespace hv
