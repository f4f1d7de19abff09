#include "CliFixture.h"
#include "InMemoryDocument.h"
#include "registry/Presets.h"

namespace hv::test {
namespace {

TEST_F(CliTest, PresetSavedHereIsAppliedByTheWindowsEngineAlike) {
  ASSERT_EQ(Cli({"presets", "save", "Evening", "Notes", "Logs"}).status, 0);

  // The window's page: the same boxes in the same order, other states.
  InMemoryDocument page;
  page.Box("Logs", false).Box("Secrets", true).Box("Notes", false).Box("Crashes", true);
  ApplyPreset("Evening", kWindowsKind, page);
  EXPECT_TRUE(page.elements[0].checked);
  EXPECT_FALSE(page.elements[1].checked);
  EXPECT_TRUE(page.elements[2].checked);
  EXPECT_FALSE(page.elements[3].checked);

  // And one the window saved is shown here.
  page.elements[1].checked = true;
  page.elements[3].checked = true;
  SavePreset("Window's", kWindowsKind, page);
  const CliResult shown = Cli({"presets", "show", "Window's"});
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.out, "Logs\nSecrets\nNotes\nCrashes\n");
}

TEST_F(CliTest, PresetsAreListedShownAndDeletedPerCleaner) {
  ASSERT_EQ(Cli({"presets", "save", "Night", "Logs"}).status, 0);
  ASSERT_EQ(Cli({"presets", "save", "--web", "Browsers", "Cache"}).status, 0);
  ASSERT_EQ(Cli({"presets", "save", "Morning", "Secrets"}).status, 0);

  struct Case {
    std::vector<std::string> args;
    std::string out;
  };
  const Case cases[] = {
      {{"presets", "list"}, "Night\nMorning\n"},
      {{"presets", "list", "--web"}, "Browsers\n"},
      {{"presets", "show", "Night"}, "Logs\n"},
      {{"presets", "show", "--web", "Browsers"}, "Cache\n"},
  };
  for (const Case& c : cases) {
    const CliResult result = Cli(c.args);
    EXPECT_EQ(result.status, 0) << c.args.back() << result.err;
    EXPECT_EQ(result.out, c.out) << c.args.back();
  }

  ASSERT_EQ(Cli({"presets", "delete", "Night"}).status, 0);
  EXPECT_EQ(Cli({"presets", "list"}).out, "Morning\n");
  EXPECT_EQ(Cli({"presets", "list", "--web"}).out, "Browsers\n");
}

}  // namespace
}  // namespace hv::test

namespace hv::test {
namespace {

TEST_F(CliTest, DamagedSettingsStoreIsMovedAsideAndSaid) {
  Root().Write("registry.db", std::string(4096, '\x5a'));
  const CliResult result = Cli({"presets", "list"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.err.find("The settings store was damaged. It was moved to '"), std::string::npos)
      << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(Cli({"presets", "save", "Fresh", "Logs"}).status, 0);
  EXPECT_EQ(Cli({"presets", "list"}).out, "Fresh\n");
}

}  // namespace
}  // namespace hv::test
