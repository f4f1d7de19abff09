#include "CliFixture.h"

namespace hv::test {
namespace {

// Without a terminal, only the options answer the profile choice and its confirmation.
struct ProfileCase {
  const char* name;
  std::vector<std::string> flags;
  int status;
  const char* said;  // part of what the run printed
  bool oneGone;
  bool twoGone;
};

class ProfileChoice : public CliTest, public testing::WithParamInterface<ProfileCase> {};

TEST_P(ProfileChoice, IsAnsweredByOptionsOrSkippedAndReported) {
  AddProfiles();
  const ProfileCase& c = GetParam();
  std::vector<std::string> args{"clean"};
  args.insert(args.end(), c.flags.begin(), c.flags.end());
  args.push_back("Crashes");
  const CliResult result = Cli(args);
  EXPECT_EQ(result.status, c.status) << result.err;
  EXPECT_NE((result.out + result.err).find(c.said), std::string::npos) << result.out << result.err;
  EXPECT_EQ(Exists("home/.mozilla/firefox/one.default/crash.dmp"), !c.oneGone);
  EXPECT_EQ(Exists("home/.mozilla/firefox/two.default/crash.dmp"), !c.twoGone);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileChoice,
    testing::Values(
        ProfileCase{"NoOption",
                    {},
                    1,
                    "Left unanswered (no terminal): Select a Netscape Profile: (offered: "
                    "One.default, Two.default; give --firefox-profile)",
                    false,
                    false},
        ProfileCase{"ProfileWithoutYes",
                    {"--firefox-profile", "two.default"},
                    1,
                    "Left unanswered (no terminal): Are you sure you want to delete data from "
                    "the profile named 'Two.default'?",
                    false,
                    false},
        ProfileCase{"ProfileAndYes",
                    {"--firefox-profile", "two.default", "--yes"},
                    0,
                    "Cleanup Complete!",
                    false,
                    true},
        ProfileCase{"UnknownProfile",
                    {"--firefox-profile", "three", "--yes"},
                    1,
                    "(none is named 'three'; offered: One.default, Two.default)",
                    false,
                    false}),
    [](const testing::TestParamInfo<ProfileCase>& info) { return info.param.name; });

TEST_F(CliTest, RestartIsDeclinedUnlessAllowed) {
  Root().Write("config/winclean.cln", "\"Reboot\",\"finish the update\",0,\"\",\"\",0,1,0\r\n");
  Root().Write("config/windows.pick", "<input type=checkbox id=Reboot checked>");
  struct Case {
    std::vector<std::string> args;
    const char* said;
  };
  const Case cases[] = {
      {{"clean"},
       "Do you want to do that now?\nNo: a restart is offered only with --allow-restart."},
      // The sandbox refuses every restart request; the answer is what is checked here.
      {{"clean", "--allow-restart"}, "Do you want to do that now?\nYes"},
  };
  for (const Case& c : cases) {
    const CliResult result = Cli(c.args);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
  }
}

}  // namespace
}  // namespace hv::test
