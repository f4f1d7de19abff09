#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CliProcess.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"

namespace hv::test {

// A configuration folder of its own, whose Windows cleaner has three file items over
// folders of the fixture, and a Web cleaner of one item:
//   Logs    *.log of logs/      checked on the page
//   Secrets every file of secrets/, sensitive
//   Notes   *.txt of notes/
//   Crashes *.dmp of the chosen Firefox profile
// Each test has a home and a settings store of its own, shared by the program it runs and
// itself.
class CliTest : public testing::Test {
 protected:
  CliTest();
  ~CliTest() override;

  // Runs the command line on the fixture's configuration folder, in the fixture's folder.
  CliResult Cli(const std::vector<std::string>& args, const std::string& input = "",
                const std::string& descriptor3 = "") const;

  // Fills the item folders: logs/a.log, logs/b.log, logs/keep.txt, secrets/s.key,
  // notes/n.txt.
  void FillFolders() const;

  // Two Firefox profiles of the home, one.default and two.default, each with crash.dmp.
  void AddProfiles() const;

  bool Exists(const std::string& relative) const {
    return std::filesystem::exists(root_ / relative);
  }
  std::filesystem::path Config() const { return root_ / "config"; }
  const TempFolder& Root() const { return root_; }

 private:
  TempFolder root_;
  ScopedEnvironment environment_;
};

}  // namespace hv::test
