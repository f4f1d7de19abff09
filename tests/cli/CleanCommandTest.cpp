#include <nlohmann/json.hpp>

#include "CliFixture.h"

namespace hv::test {
namespace {

using Files = std::vector<std::string>;

const Files kAllFiles = {"logs/a.log", "logs/b.log", "logs/keep.txt", "secrets/s.key",
                         "notes/n.txt"};

TEST_F(CliTest, ListShowsEveryItemWithThePagesOwnStates) {
  const CliResult result = Cli({"list", "--windows"});
  ASSERT_EQ(result.status, 0) << result.err;
  // The page's script would check Notes; scripts are not run, so the markup decides.
  for (const char* line : {"[x] Logs", "[ ] Secrets  (kind 2, sensitive)", "[ ] Notes",
                           "delete the logs", "delete the notes"}) {
    EXPECT_NE(result.out.find(line), std::string::npos) << line << "\n" << result.out;
  }
  EXPECT_EQ(result.out.find("Cache"), std::string::npos) << "the Web cleaner was not asked for";
}

TEST_F(CliTest, ListAsJsonNamesBothCleanersWithTheDocumentedFields) {
  const CliResult result = Cli({"list", "--json"});
  ASSERT_EQ(result.status, 0) << result.err;
  const nlohmann::json document = nlohmann::json::parse(result.out);
  EXPECT_EQ(document.at("version"), 1);
  ASSERT_EQ(document.at("cleaners").size(), 2u);
  const nlohmann::json& windows = document.at("cleaners").at(0);
  EXPECT_EQ(windows.at("cleaner"), "windows");
  ASSERT_EQ(windows.at("items").size(), 4u);
  const nlohmann::json& secrets = windows.at("items").at(1);
  EXPECT_EQ(secrets.at("key"), "Secrets");
  EXPECT_EQ(secrets.at("caption"), "delete the secrets");
  EXPECT_EQ(secrets.at("kind"), 2);
  EXPECT_EQ(secrets.at("sensitive"), true);
  EXPECT_EQ(secrets.at("checked"), false);
  EXPECT_EQ(windows.at("items").at(0).at("checked"), true);
  EXPECT_EQ(document.at("cleaners").at(1).at("items").at(0).at("key"), "Cache");
}

struct Selection {
  const char* name;
  Files args;     // what chooses the items
  Files removed;  // what a clean removes; everything else stays
};

class CleanSelection : public CliTest, public testing::WithParamInterface<Selection> {};

TEST_P(CleanSelection, PreviewChangesNothingAndCleanRemovesWhatItListed) {
  FillFolders();
  ASSERT_EQ(Cli({"presets", "save", "Logs and notes", "Notes", "Logs"}).status, 0);
  const Selection& selection = GetParam();

  Files previewArgs{"preview"};
  previewArgs.insert(previewArgs.end(), selection.args.begin(), selection.args.end());
  const CliResult preview = Cli(previewArgs);
  ASSERT_EQ(preview.status, 0) << preview.err;
  for (const std::string& file : kAllFiles) {
    EXPECT_TRUE(Exists(file)) << file << " went in a preview";
    const bool listed = preview.out.find((Root() / file).string()) != std::string::npos;
    const bool toGo = std::find(selection.removed.begin(), selection.removed.end(), file) !=
                      selection.removed.end();
    EXPECT_EQ(listed, toGo) << file << "\n" << preview.out;
  }

  Files cleanArgs{"clean", "--no-wipe"};
  cleanArgs.insert(cleanArgs.end(), selection.args.begin(), selection.args.end());
  const CliResult clean = Cli(cleanArgs);
  ASSERT_EQ(clean.status, 0) << clean.err << clean.out;
  EXPECT_NE(clean.out.find("Cleanup Complete!"), std::string::npos) << clean.out;
  for (const std::string& file : kAllFiles) {
    const bool toGo = std::find(selection.removed.begin(), selection.removed.end(), file) !=
                      selection.removed.end();
    EXPECT_EQ(Exists(file), !toGo) << file;
    EXPECT_EQ(clean.out.find((Root() / file).string()) != std::string::npos, toGo) << file;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Choices, CleanSelection,
    testing::Values(Selection{"PageDefaults", {}, {"logs/a.log", "logs/b.log"}},
                    Selection{"Keys", {"Notes"}, {"notes/n.txt"}},
                    Selection{"Preset",
                              {"--preset", "Logs and notes"},
                              {"logs/a.log", "logs/b.log", "notes/n.txt"}}),
    [](const testing::TestParamInfo<Selection>& info) { return info.param.name; });

TEST_F(CliTest, SensitiveItemWithoutTerminalOrYesIsSkippedAndReported) {
  FillFolders();
  const CliResult result = Cli({"clean", "Secrets", "Logs"});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find("Skipped, not confirmed (no terminal and no --yes): delete the "
                            "secrets [Secrets]"),
            std::string::npos)
      << result.out;
  EXPECT_TRUE(Exists("secrets/s.key"));
  EXPECT_FALSE(Exists("logs/a.log")) << "the other item still ran";

  const CliResult confirmed = Cli({"clean", "--yes", "Secrets"});
  EXPECT_EQ(confirmed.status, 0) << confirmed.out << confirmed.err;
  EXPECT_FALSE(Exists("secrets/s.key"));
}

TEST_F(CliTest, JsonReportParsesWithTheDocumentedFields) {
  FillFolders();
  const CliResult preview = Cli({"preview", "--json", "Logs", "Notes"});
  ASSERT_EQ(preview.status, 0) << preview.err;
  const nlohmann::json document = nlohmann::json::parse(preview.out);
  EXPECT_EQ(document.at("version"), 1);
  EXPECT_EQ(document.at("command"), "preview");
  EXPECT_EQ(document.at("cleaner"), "windows");
  EXPECT_EQ(document.at("status"), 0);
  ASSERT_EQ(document.at("items").size(), 2u);
  const nlohmann::json& logs = document.at("items").at(0);
  EXPECT_EQ(logs.at("key"), "Logs");
  EXPECT_EQ(logs.at("caption"), "delete the logs");
  EXPECT_EQ(logs.at("entries").size(), 2u);
  EXPECT_EQ(logs.at("left"), 0);
  EXPECT_TRUE(logs.at("firstReason").is_null());
  EXPECT_TRUE(logs.at("bytes").is_number());
  EXPECT_EQ(logs.at("summary").get<std::string>().rfind("2 files", 0), 0u);
  EXPECT_EQ(document.at("skipped"), nlohmann::json::array());
  EXPECT_EQ(document.at("unanswered"), nlohmann::json::array());
  EXPECT_EQ(document.at("totals").at("unlistedEntries"), 0);
  EXPECT_EQ(document.at("totals").at("left"), 0);
  for (const nlohmann::json& entry : logs.at("entries")) {
    EXPECT_EQ(entry.at("type"), "file");
    EXPECT_EQ(entry.at("outcome"), "would-be-removed");
    EXPECT_TRUE(entry.at("bytes").is_number());
    EXPECT_TRUE(entry.at("reason").is_null());
  }
  EXPECT_EQ(document.at("items").at(1).at("key"), "Notes");
  EXPECT_EQ(logs.at("count"), 2);
  EXPECT_EQ(document.at("totals").at("count"), 3);
  EXPECT_EQ(document.at("totals").at("summary").get<std::string>().rfind("3 files", 0), 0u)
      << document.dump();

  const CliResult clean = Cli({"clean", "--json", "Secrets", "Notes"});
  EXPECT_EQ(clean.status, 1);
  const nlohmann::json cleaned = nlohmann::json::parse(clean.out);
  EXPECT_EQ(cleaned.at("command"), "clean");
  EXPECT_EQ(cleaned.at("status"), 1);
  ASSERT_EQ(cleaned.at("skipped").size(), 1u);
  EXPECT_EQ(cleaned.at("skipped").at(0).at("key"), "Secrets");
  ASSERT_EQ(cleaned.at("items").size(), 1u);
  EXPECT_EQ(cleaned.at("items").at(0).at("key"), "Notes");
  EXPECT_EQ(cleaned.at("items").at(0).at("entries").at(0).at("outcome"), "removed");
  EXPECT_NE(clean.err.find("Cleanup Complete!"), std::string::npos)
      << "messages leave standard output to the document";
}

}  // namespace
}  // namespace hv::test

namespace hv::test {
namespace {

TEST_F(CliTest, NamesThatAreNoTextStillGiveAJsonDocument) {
  FillFolders();
  Root().Write("logs/odd\xff\xfe.log", "odd");
  const CliResult result = Cli({"clean", "--json", "--no-wipe", "Logs"});
  ASSERT_EQ(result.status, 0) << result.err;
  const nlohmann::json document = nlohmann::json::parse(result.out);
  std::vector<std::string> removed;
  for (const nlohmann::json& entry : document.at("items").at(0).at("entries")) {
    removed.push_back(entry.at("what"));
  }
  EXPECT_EQ(removed.size(), 3u);
  EXPECT_NE(std::find(removed.begin(), removed.end(),
                      (Root() / "logs/odd\xef\xbf\xbd\xef\xbf\xbd.log").string()),
            removed.end())
      << "the bytes that are no UTF-8 show as replacement characters";
  EXPECT_FALSE(Exists("logs/odd\xff\xfe.log"));
}

TEST_F(CliTest, KeyNamingSeveralElementsHasNoBoxOfItsOwn) {
  Root().Write("config/windows.pick",
               "<input type=checkbox id=Logs checked><input type=checkbox name=Logs checked>"
               "<input type=checkbox id=Notes><p id=Secrets>");
  const CliResult list = Cli({"list", "--windows"});
  EXPECT_NE(list.out.find("[ ] Logs"), std::string::npos) << "two elements count as unchecked";
  for (const char* key : {"Logs", "Secrets"}) {
    const CliResult clean = Cli({"clean", key});
    EXPECT_EQ(clean.status, 2) << key;
    EXPECT_NE(clean.err.find("has no check box of its own on the page"), std::string::npos)
        << clean.err;
  }
}

}  // namespace
}  // namespace hv::test
