#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "RecordingSink.h"
#include "TempFolder.h"

namespace hv::test {

// A folder to delete in, and what the deletion reported.
class DeletionFixture : public testing::Test {
 protected:
  std::string Root() const { return folder.Path().string() + "/"; }
  bool Exists(const std::string& relative) const {
    return std::filesystem::exists(std::filesystem::symlink_status(folder / relative));
  }

  // The entries reported for root-relative paths, with their outcome and reason.
  std::map<std::string, std::string> Reported() const { return sink.OutcomesBelow(Root()); }

  TempFolder folder;
  RecordingSink sink;
};

}  // namespace hv::test
