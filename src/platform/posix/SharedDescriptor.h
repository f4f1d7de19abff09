#pragma once

#include <unistd.h>

#include <memory>

namespace hv {

// A descriptor closed once its last holder lets go of it: a folder shares its own with the
// files opened in it that must reach it again when they close.
using SharedDescriptor = std::shared_ptr<const int>;

inline SharedDescriptor ShareDescriptor(int fd) {
  return SharedDescriptor(new int(fd), [](const int* owned) {
    close(*owned);
    delete owned;
  });
}

}  // namespace hv
