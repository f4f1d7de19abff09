#pragma once

#include <fcntl.h>

#include <gtest/gtest.h>

#include <string>

#include "AnotherProcess.h"

namespace hv::test {

// Another process with the file open for as long as this object lives.
class HeldByAnotherProcess {
 public:
  explicit HeldByAnotherProcess(const std::string& path)
      : holder_([&path] { return open(path.c_str(), O_RDWR) >= 0; }) {
    EXPECT_TRUE(holder_.Taken()) << path;
  }

 private:
  AnotherProcess holder_;
};

}  // namespace hv::test
