#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ForwardingRegistry.h"
#include "InMemoryDocument.h"
#include "PreviewCheck.h"
#include "RawRegistryValues.h"
#include "RecordingSink.h"
#include "ScratchRegistry.h"
#include "ScriptedUserInterface.h"
#include "clean/CleanRun.h"
#include "clean/StandardCleanActions.h"
#include "platform/PlatformServices.h"
#include "registry/DeleteRegistryItem.h"
#include "registry/Variant.h"
#include "registry/cRegistry.h"

namespace hv {
namespace {

using test::Bytes;
using test::CreateRawKey;
using test::WriteRaw;

constexpr int kOk = 1;
constexpr const char* kKey = "Software\\Traces\\Recent";

// The system's registry lists names in an order of its own, where the hive keeps the order
// of creation; on Windows both sides are compared sorted.
std::vector<std::string> InListOrder(std::vector<std::string> names) {
#ifdef _WIN32
  std::sort(names.begin(), names.end());
#endif
  return names;
}

// What is left of the key after a run: its value names, then its subkeys as "\name".
std::vector<std::string> Remaining(const std::string& key) {
  cRegistry registry;
  registry.ClassKey(kHkeyCurrentUser);
  registry.SectionKey(key);
  if (!registry.KeyExists()) {
    return {"(no key)"};
  }
  std::vector<std::string> names;
  int32_t count = 0;
  registry.EnumerateValues(names, count);
  std::vector<std::string> sections;
  registry.EnumerateSections(sections, count);
  for (int32_t i = 1; i <= count; ++i) {
    names.push_back("\\" + sections[i]);
  }
  return names;
}

// Kind 1 items through the cleaning run with the program's standard actions.
class RegistryCleanItemTest : public testing::Test {
 protected:
  RegistryCleanItemTest() {
    for (const char* name : {"File1", "File2", "file3", "Other", ""}) {
      EXPECT_TRUE(WriteRaw(scratch.Backend(), kHkeyCurrentUser, kKey, name, reg::kSz, Bytes("x")));
    }
    EXPECT_TRUE(CreateRawKey(scratch.Backend(), kHkeyCurrentUser, std::string(kKey) + "\\Child"));
    EXPECT_TRUE(WriteRaw(scratch.Backend(), kHkeyCurrentUser, std::string(kKey) + "\\Child", "v",
                         reg::kSz, Bytes("x")));
    page.Box("item", true);
  }

  // Runs one checked kind 1 item for each (path, mask) pair, in order, and gives the run's
  // closing message.
  std::string Run(const std::vector<std::pair<std::string, std::string>>& pathsAndMasks) {
    CleanItemList items;
    for (const auto& [path, mask] : pathsAndMasks) {
      CleanItem item;
      item.Key = "item";
      item.Caption = path + " " + mask;
      item.Kind = static_cast<int32_t>(ItemKind::Registry);
      item.Path = path;
      item.Mask = mask;
      items.push_back(item);
    }
    ui.messages.clear();
    ui.AnswerMessage(kOk);
    CleanRun(items, page, ui, actions, *services.restart);
    EXPECT_EQ(ui.messages.size(), 1u);
    return ui.messages.empty() ? "" : ui.messages[0].text;
  }

  test::ScratchRegistry scratch;
  PlatformServices services = MakePlatformServices();
  CleanActions actions = StandardCleanActions(services);
  test::InMemoryDocument page;
  test::ScriptedUserInterface ui;
};

// Each run takes what its mask names from what the runs before it left.
TEST_F(RegistryCleanItemTest, DeletesWhatTheMaskNames) {
  const std::vector<std::string> all = {"File1", "File2", "file3", "Other", "", "\\Child"};
  const struct {
    std::string path;
    std::string mask;
    std::vector<std::string> remaining;
  } runs[] = {
      {"Software\\Traces\\Gone", "@", all},                // a missing key
      {kKey, "File#", {"file3", "Other", "", "\\Child"}},  // the pattern is case-sensitive
      {kKey, "*", {"\\Child"}},                            // values go, key and subkeys stay
      {kKey, "@", {"(no key)"}},
  };
  for (const auto& run : runs) {
    EXPECT_EQ(Run({{run.path, run.mask}}), "Cleanup Complete!");
    EXPECT_EQ(InListOrder(Remaining(kKey)), InListOrder(run.remaining)) << run.mask;
  }
}

TEST_F(RegistryCleanItemTest, AnItemWithoutAKeyPathLeavesTheRootAlone) {
  ASSERT_TRUE(CreateRawKey(scratch.Backend(), kHkeyCurrentUser, "TopLevel"));
  ASSERT_TRUE(WriteRaw(scratch.Backend(), kHkeyCurrentUser, "", "RootValue", reg::kSz, Bytes("x")));
  EXPECT_EQ(Run({{"", "@"}, {"\\", "@"}, {"", "*"}}), "Cleanup Complete!");
  EXPECT_EQ(Remaining(""), (std::vector<std::string>{"RootValue", "\\Software", "\\TopLevel"}));
}

TEST_F(RegistryCleanItemTest, TheReadOnlySpecialFoldersSurviveAndTheRunGoesOn) {
  const std::vector<std::string> before = Remaining(kShellFoldersKey);
  [[maybe_unused]] const std::string closing =
      Run({{kShellFoldersKey, "*"}, {kShellFoldersKey, "@"}, {kKey, "*"}});
#ifndef _WIN32
  // Here the special folders are a read-only view of the XDG folders, so what stays is
  // named, item by item; the item that cleaned everything is not. (On Windows they are the
  // real key, which the user may change.)
  const std::string shellFolders = std::string(kShellFoldersKey);
  EXPECT_TRUE(
      closing.starts_with("Cleanup Complete!\r\n\r\nSome items could not be cleaned "
                          "completely:\r\n" +
                          shellFolders + " *: "))
      << closing;
  EXPECT_NE(closing.find("\r\n" + shellFolders + " @: "), std::string::npos) << closing;
  EXPECT_EQ(closing.find(std::string(kKey) + " *"), std::string::npos) << closing;
#endif
  EXPECT_EQ(Remaining(kShellFoldersKey), before);
  EXPECT_EQ(Remaining(kKey), (std::vector<std::string>{"\\Child"}));
}

// Another running copy removes a value between the listing and its deletion.
class RaceForValue : public test::ForwardingRegistry {
 public:
  using ForwardingRegistry::ForwardingRegistry;
  long DeleteValue(RegKey key, const char* name) override {
    if (!raced) {
      raced = true;
      Inner().DeleteValue(key, "File2");
    }
    return ForwardingRegistry::DeleteValue(key, name);
  }
  bool raced = false;
};

TEST_F(RegistryCleanItemTest, AValueThatVanishesIsPassedOverAndTheRestIsCleaned) {
  auto race = std::make_unique<RaceForValue>(scratch.Backend());
  const RaceForValue& watched = *race;
  scratch.UseInstead(std::move(race));

  test::RecordingSink report;
  EXPECT_NO_THROW(DeleteRegistryItem("File#", kHkeyCurrentUser, kKey, report));

  EXPECT_TRUE(watched.raced);
  EXPECT_EQ(InListOrder(Remaining(kKey)), InListOrder({"file3", "Other", "", "\\Child"}));
  // The value the other copy took is reported as left, with the error met.
  ASSERT_EQ(report.entries.size(), 2u);
  EXPECT_EQ(report.entries[0].outcome, EntryOutcome::kRemoved);
  EXPECT_EQ(report.entries[1].what, "HKEY_CURRENT_USER\\" + std::string(kKey) + "\\File2");
  EXPECT_EQ(report.entries[1].outcome, EntryOutcome::kLeft);
  EXPECT_NE(report.entries[1].reason.find("File2"), std::string::npos) << report.entries[1].reason;
}

// Entries in the order the registry listed their names (see InListOrder).
std::vector<ReportEntry> InListOrder(std::vector<ReportEntry> entries) {
#ifdef _WIN32
  std::sort(entries.begin(), entries.end(),
            [](const ReportEntry& a, const ReportEntry& b) { return a.what < b.what; });
#endif
  return entries;
}

// Every key and value below key, with its data, and the subkeys' likewise.
std::vector<std::string> RegistryRows(const std::string& key) {
  cRegistry registry;
  registry.ClassKey(kHkeyCurrentUser);
  registry.SectionKey(key);
  std::vector<std::string> rows = {key};
  std::vector<std::string> names;
  int32_t count = 0;
  registry.EnumerateValues(names, count);
  for (const std::string& name : names) {
    registry.ValueKey(name);
    rows.push_back(name + "=" + VariantText(registry.Value()));
  }
  std::vector<std::string> sections;
  registry.EnumerateSections(sections, count);
  for (int32_t i = 1; i <= count; ++i) {
    for (std::string& row : RegistryRows(key + "\\" + sections[i])) {
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

// A preview reads the registry and writes nothing; what it lists is, entry for entry, what
// the deletion then reports: values one by one, a key with its immediate subkeys, and a
// subkey holding keys of its own left, with the key, saying why.
TEST_F(RegistryCleanItemTest, APreviewChangesNothingAndListsWhatTheDeletionReports) {
  ASSERT_TRUE(CreateRawKey(scratch.Backend(), kHkeyCurrentUser, std::string(kKey) + "\\Nest"));
  ASSERT_TRUE(
      CreateRawKey(scratch.Backend(), kHkeyCurrentUser, std::string(kKey) + "\\Nest\\Inner"));
  const std::string shown = "HKEY_CURRENT_USER\\" + std::string(kKey);
  const auto entry = [](EntryType type, const std::string& what, const char* reason = "") {
    return ReportEntry{.type = type,
                       .what = what,
                       .bytes = std::nullopt,
                       .outcome = *reason ? EntryOutcome::kLeft : EntryOutcome::kWouldBeRemoved,
                       .reason = reason};
  };
  const struct {
    std::string mask;
    std::vector<ReportEntry> previewed;
  } cases[] = {
      {"File#",
       {entry(EntryType::kSettingsValue, shown + "\\File1"),
        entry(EntryType::kSettingsValue, shown + "\\File2")}},
      {"*",
       {entry(EntryType::kSettingsValue, shown + "\\file3"),
        entry(EntryType::kSettingsValue, shown + "\\Other"),
        entry(EntryType::kSettingsValue, shown + "\\(Default)")}},
      {"@",
       {entry(EntryType::kSettingsKey, shown + "\\Child"),
        entry(EntryType::kSettingsKey, shown + "\\Nest", "holds keys of its own"),
        entry(EntryType::kSettingsKey, shown, "holds keys of its own")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mask);
    const std::vector<std::string> before = RegistryRows(kKey);
    test::RecordingSink report;
    DeleteRegistryItem(c.mask, kHkeyCurrentUser, kKey, report, true);
    EXPECT_EQ(RegistryRows(kKey), before);
    EXPECT_EQ(InListOrder(report.entries), InListOrder(c.previewed));

    report.entries.clear();
    DeleteRegistryItem(c.mask, kHkeyCurrentUser, kKey, report);
    EXPECT_EQ(InListOrder(report.entries), InListOrder(test::AsCleaned(c.previewed)));
  }
  EXPECT_EQ(Remaining(kKey), (std::vector<std::string>{"\\Nest"}));
}

}  // namespace
}  // namespace hv
