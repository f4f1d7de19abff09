#include "CliFixture.h"
#include "registry/cRegistry.h"

namespace hv::test {
namespace {

// Where a script's password comes from.
struct PasswordWay {
  const char* name;
  std::vector<std::string> (*args)(const std::filesystem::path& passwordFile);
  bool onDescriptor;  // the password is written to descriptor 3
};

std::vector<std::string> FromFile(const std::filesystem::path& passwordFile) {
  return {"--password-file", passwordFile.string()};
}
std::vector<std::string> FromDescriptor(const std::filesystem::path&) {
  return {"--password-fd", "3"};
}

class PasswordSource : public CliTest, public testing::WithParamInterface<PasswordWay> {
 protected:
  CliResult Crypt(const std::string& command, const std::string& password,
                  const std::vector<std::string>& files) {
    const PasswordWay& way = GetParam();
    const std::filesystem::path passwordFile = Root().Write("password", password + "\n");
    std::vector<std::string> args{command};
    const std::vector<std::string> source = way.args(passwordFile);
    args.insert(args.end(), source.begin(), source.end());
    args.insert(args.end(), files.begin(), files.end());
    return Cli(args, "", way.onDescriptor ? password + "\n" : "");
  }
};

TEST_P(PasswordSource, EncryptsAndDecryptsAndKeepsTheVaultOnAWrongPassword) {
  const std::string plain = Root().Write("doc.txt", "the plain text").string();
  const std::string other = Root().Write("other.txt", "more text").string();

  const CliResult encrypted = Crypt("encrypt", "right horse", {plain, other});
  ASSERT_EQ(encrypted.status, 0) << encrypted.err;
  EXPECT_EQ(encrypted.out, "Successfully encrypted 2 file(s).\n");
  EXPECT_FALSE(Exists("doc.txt"));
  ASSERT_TRUE(Exists("doc.txt.vlt"));

  const CliResult wrong = Crypt("decrypt", "wrong horse", {plain + ".vlt"});
  EXPECT_EQ(wrong.status, 1);
  EXPECT_NE(wrong.err.find("Invalid password for file: '" + plain + ".vlt'"), std::string::npos)
      << wrong.err;
  EXPECT_NE(wrong.err.find("Could not decrypt 1 file(s)!"), std::string::npos) << wrong.err;
  EXPECT_TRUE(Exists("doc.txt.vlt"));
  EXPECT_FALSE(Exists("doc.txt"));

  const CliResult decrypted = Crypt("decrypt", "right horse", {plain + ".vlt", other + ".vlt"});
  ASSERT_EQ(decrypted.status, 0) << decrypted.err;
  EXPECT_EQ(decrypted.out, "Successfully decrypted 2 file(s).\n");
  EXPECT_EQ(ReadFile(plain), "the plain text");
  EXPECT_EQ(ReadFile(other), "more text");
  EXPECT_FALSE(Exists("doc.txt.vlt"));
}

TEST_P(PasswordSource, SomeMissingFilesAreNamedAndTheRestDone) {
  const std::string plain = Root().Write("doc.txt", "text").string();
  const CliResult result = Crypt("encrypt", "pw", {plain, (Root() / "gone.txt").string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("gone.txt' is not an ordinary file"), std::string::npos) << result.err;
  EXPECT_TRUE(Exists("doc.txt.vlt"));
}

INSTANTIATE_TEST_SUITE_P(Ways, PasswordSource,
                         testing::Values(PasswordWay{"File", FromFile, false},
                                         PasswordWay{"Descriptor", FromDescriptor, true}),
                         [](const testing::TestParamInfo<PasswordWay>& info) {
                           return info.param.name;
                         });

TEST_F(CliTest, EncryptWithoutTerminalOrPasswordSourceDoesNothing) {
  Root().Write("doc.txt", "text");
  const CliResult result = Cli({"encrypt", (Root() / "doc.txt").string()});
  EXPECT_EQ(result.status, 3);
  EXPECT_NE(result.err.find("no password was given"), std::string::npos) << result.err;
  EXPECT_TRUE(Exists("doc.txt"));
  EXPECT_FALSE(Exists("doc.txt.vlt"));
}

TEST_F(CliTest, WipeNeedsItsQuestionAnswered) {
  struct Case {
    std::vector<std::string> flags;
    int status;
    bool gone;
    const char* message;
  };
  const Case cases[] = {
      {{}, 1, false, "nothing was wiped"},
      {{"--yes"}, 1, true, "Successfully wiped 1 file(s).\nCould not delete 1 files!"},
  };
  for (const Case& c : cases) {
    const std::string file = Root().Write("wipe.me", "secret").string();
    std::vector<std::string> args{"wipe"};
    args.insert(args.end(), c.flags.begin(), c.flags.end());
    args.push_back(file);
    args.push_back((Root() / "never.there").string());
    const CliResult result = Cli(args);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_EQ(Exists("wipe.me"), !c.gone);
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  }
}

// The window's "Strong encryption" box as the settings store holds it.
void StoreStrongSetting(bool on) {
  cRegistry registry;
  registry.ClassKey(kHkeyCurrentUser);
  registry.SectionKey("Software\\Hushvault\\Settings");
  registry.ValueKey("StrongEncryption");
  registry.ValueType(static_cast<int32_t>(reg::kDword));
  registry.Value(Variant(int32_t{on ? 1 : 0}));
}

// New files take the strong format by --strong or by the window's setting; decrypt reads
// either format without being told.
TEST_F(CliTest, TheFlagOrTheSettingChoosesTheStrongFormat) {
  const std::string password = Root().Write("password", "pw\n").string();
  const struct {
    bool flag, setting, strong;
  } cases[] = {{false, false, false}, {true, false, true}, {false, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "flag " << c.flag << ", setting " << c.setting);
    StoreStrongSetting(c.setting);
    const std::string plain = Root().Write("doc.txt", "the plain text").string();
    std::vector<std::string> args{"encrypt", "--password-file", password, plain};
    if (c.flag) {
      args.insert(args.begin() + 1, "--strong");
    }
    const CliResult encrypted = Cli(args);
    ASSERT_EQ(encrypted.status, 0) << encrypted.err;
    const std::string vault = ReadFile(plain + ".vlt");
    EXPECT_EQ(vault.starts_with("HVSTRONG\x01"), c.strong);
    EXPECT_EQ(vault.size() == std::string("the plain text").size() + 16, !c.strong);
    StoreStrongSetting(!c.setting);
    const CliResult decrypted = Cli({"decrypt", "--password-file", password, plain + ".vlt"});
    ASSERT_EQ(decrypted.status, 0) << decrypted.err;
    EXPECT_EQ(ReadFile(plain), "the plain text");
  }
}

}  // namespace
}  // namespace hv::test
