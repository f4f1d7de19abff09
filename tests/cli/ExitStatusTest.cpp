#include "CliFixture.h"

namespace hv::test {
namespace {

struct Failure {
  const char* name;
  std::vector<std::string> args;
  int status;
  const char* message;  // part of what standard error says
};

class CliFailure : public CliTest, public testing::WithParamInterface<Failure> {};

TEST_P(CliFailure, EndsWithItsStatusAndSaysWhy) {
  FillFolders();
  const Failure& failure = GetParam();
  const CliResult result = Cli(failure.args);
  EXPECT_EQ(result.status, failure.status) << result.err;
  EXPECT_NE(result.err.find(failure.message), std::string::npos) << result.err;
  EXPECT_TRUE(Exists("logs/a.log")) << "a failed command cleaned";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliFailure,
    testing::Values(
        Failure{"UnknownKey", {"clean", "Logs", "Lgos"}, 2, "unknown item key 'Lgos'"},
        Failure{"KeyOfTheOtherCleaner", {"clean", "Cache"}, 2, "unknown item key 'Cache'"},
        Failure{"UnknownPreset",
                {"clean", "--preset", "Nope"},
                2,
                "no preset named 'Nope' for the Windows cleaner"},
        Failure{"DeleteUnknownPreset", {"presets", "delete", "Nope"}, 2, "no preset named"},
        Failure{"PresetAndKeys", {"clean", "--preset", "P", "Logs"}, 2, "excludes"},
        Failure{"UnknownCommand", {"scrub"}, 2, "subcommand is required"},
        Failure{"NoCommand", {}, 2, "subcommand"},
        Failure{"BothCleaners", {"list", "--web", "--windows"}, 2, "excludes"},
        Failure{"MissingFileToEncrypt",
                {"encrypt", "--password-fd", "3", "absent.txt"},
                3,
                "'absent.txt' is not an ordinary file that can be encrypted"},
        Failure{"PasswordAsArgument",
                {"encrypt", "--password", "secret", "logs/a.log"},
                2,
                "never taken from the command line"},
        Failure{"MissingPasswordFile",
                {"decrypt", "--password-file", "absent", "logs/a.log"},
                3,
                "the password file 'absent' could not be read"}),
    [](const testing::TestParamInfo<Failure>& info) { return info.param.name; });

TEST_F(CliTest, BrokenDefinitionFileOrMissingPageDoesNothingAndNamesTheFile) {
  FillFolders();
  struct Case {
    const char* file;
    const char* content;
    const char* message;
  };
  const Case cases[] = {
      {"config/winclean.cln", "\"Logs\",\"delete the logs\",2,\"/x/\"\r\n", "winclean.cln"},
      {"config/winclean.cln", "\"Logs\",\"caption\",two,\"/x/\",\"*\",0,0,0\r\n", "winclean.cln"},
  };
  for (const Case& c : cases) {
    Root().Write(c.file, c.content);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"list", "--windows"}, {"clean", "Logs"}}) {
      const CliResult result = Cli(args);
      EXPECT_EQ(result.status, 3) << args[0] << result.err;
      EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
  }
  std::filesystem::remove(Config() / "web.pick");
  const CliResult result = Cli({"preview", "--web"});
  EXPECT_EQ(result.status, 3);
  EXPECT_NE(result.err.find("web.pick' could not be read"), std::string::npos) << result.err;
  EXPECT_TRUE(Exists("logs/a.log"));
}

}  // namespace
}  // namespace hv::test
