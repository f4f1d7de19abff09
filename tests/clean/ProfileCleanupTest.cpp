#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "InMemoryDocument.h"
#include "PreviewCheck.h"
#include "RecordingSink.h"
#include "ScriptedUserInterface.h"
#include "TempFolder.h"
#include "clean/CleanRun.h"
#include "clean/ProfileCleanup.h"
#include "platform/BrowserProfiles.h"
#include "platform/RestartService.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::InMemoryDocument;
using test::ScriptedUserInterface;
using test::TempFolder;
using Names = std::vector<std::string>;

constexpr int kYes = 6;
constexpr int kNo = 7;
constexpr int kOk = 1;

std::string Question(const std::string& shown) {
  return "message: Are you sure you want to delete data from the profile named '" + shown + "'?";
}

// Profiles in a temporary folder, offered in the order given.
class FolderProfiles : public BrowserProfiles {
 public:
  FolderProfiles(const TempFolder& temp, Names names) : root_(temp / "Profiles"), names_(names) {
    for (const std::string& name : names_) {
      fs::create_directories(root_ / name / "chrome");
      std::ofstream(root_ / name / "cookies.sqlite") << "c";
      std::ofstream(root_ / name / "chrome" / "cache.sqlite") << "c";
      std::ofstream(root_ / name / "prefs.js") << "p";
    }
  }
  BrowserProfileList Profiles() override {
    BrowserProfileList list;
    for (const std::string& name : names_) {
      list.profiles.push_back({"Firefox", BrowserFamily::kFirefox, "", name, Folder(name), ""});
    }
    // Profiles of another family are never offered.
    list.profiles.push_back({"Chromium", BrowserFamily::kChromium, "", "Default",
                             (root_ / "chromium/Default/").string(), ""});
    return list;
  }
  std::string Folder(const std::string& name) const { return (root_ / name).string() + "/"; }

  // The files left in a profile, relative to it, sorted.
  Names Files(const std::string& name) const {
    Names files;
    for (const auto& entry : fs::recursive_directory_iterator(root_ / name)) {
      if (entry.is_regular_file()) {
        files.push_back(fs::relative(entry.path(), root_ / name).generic_string());
      }
    }
    std::sort(files.begin(), files.end());
    return files;
  }

 private:
  fs::path root_;
  Names names_;
};

const Names kUntouched = {"chrome/cache.sqlite", "cookies.sqlite", "prefs.js"};
const Names kCleaned = {"prefs.js"};

struct ChoiceCase {
  const char* name;
  Names profiles;
  std::string list;          // what the list dialog offers; empty when it is not shown
  std::string choice;        // what the list dialog answers
  std::string shown;         // the profile named in the question
  std::vector<int> answers;  // what the question answers, when it is asked
  std::string cleaned;       // the profile folder whose files went, if any
};

class ChooseProfileTest : public testing::TestWithParam<ChoiceCase> {};

TEST_P(ChooseProfileTest, AsksAndCleansAsTheUserAnswers) {
  const ChoiceCase& c = GetParam();
  const TempFolder temp;
  FolderProfiles profiles(temp, c.profiles);
  ScriptedUserInterface ui;
  Names events;
  if (!c.list.empty()) {
    ui.AnswerChoice(c.choice);
    events.push_back("choose: Select a Netscape Profile: [" + c.list + "]");
  } else if (!c.shown.empty()) {
    events.push_back("chosen without asking: " + c.shown);
  }
  for (const int answer : c.answers) {
    ui.AnswerMessage(answer);
    events.push_back(Question(c.shown));
  }
  test::RecordingSink report;
  CleanContext context{.ui = ui, .report = report};
  ChooseProfile(context, profiles);
  CleanProfile(context, "*.sqlite");

  EXPECT_EQ(ui.events, events);
  EXPECT_TRUE(ui.ScriptUsedUp());
  EXPECT_EQ(context.chosenProfile, c.cleaned.empty() ? "" : profiles.Folder(c.cleaned));
  for (const std::string& profile : c.profiles) {
    EXPECT_EQ(profiles.Files(profile), profile == c.cleaned ? kCleaned : kUntouched) << profile;
  }
  for (const auto& message : ui.messages) {
    EXPECT_EQ(message.title, "Netscape Cleanup");
    EXPECT_EQ(message.style, 0x24);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ChooseProfileTest,
    testing::Values(ChoiceCase("one_profile_is_asked_about_at_once", {"abcd.default"}, "", "",
                               "Abcd.default", {kYes}, "abcd.default"),
                    // Shown in proper case, cleaned under the folder's own name.
                    ChoiceCase("several_profiles_are_offered_in_a_list",
                               {"work", "old PROFILE", "Default"}, "Work;Old Profile;Default",
                               "Old Profile", "Old Profile", {kYes}, "old PROFILE"),
                    ChoiceCase("no_choice_cancel_or_ok_without_selection", {"work", "Default"},
                               "Work;Default", "", "", {}, ""),
                    ChoiceCase("no_to_the_question", {"work"}, "", "", "Work", {kNo}, ""),
                    ChoiceCase("no_profiles_asks_nothing", {}, "", "", "", {}, ""),
                    ChoiceCase("a_name_with_the_separator_is_left_out", {"a;b", "work"}, "", "",
                               "Work", {kYes}, "work")),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

class NoRestart : public RestartService {
 public:
  bool RequestRestart() override {
    ADD_FAILURE() << "no restart expected";
    return false;
  }
};

// Two profile items per run, through the cleaning run itself: a confirmed choice serves
// both, the next run asks again, and a declined choice is offered again by the next item.
TEST(ProfileRunTest, EachRunChoosesOnceItsChoiceIsConfirmed) {
  const TempFolder temp;
  FolderProfiles profiles(temp, {"work", "home"});
  CleanActions actions;
  actions.Register(ItemKind::BrowserProfile, CleanProfileAction(profiles));
  InMemoryDocument page;
  page.Box("first", true).Box("second", true);
  ScriptedUserInterface ui;
  NoRestart restart;
  const int32_t kind = static_cast<int32_t>(ItemKind::BrowserProfile);
  const CleanItemList items = {{"first", "", kind, "", "cookies.sqlite", false, false, false},
                               {"second", "", kind, "", "cache.sqlite", false, false, false}};
  const auto choices = [&] {
    return std::count_if(ui.events.begin(), ui.events.end(),
                         [](const std::string& event) { return event.starts_with("choose:"); });
  };

  ui.AnswerChoice("Home");
  ui.AnswerMessage(kYes);
  ui.AnswerMessage(kOk);  // "Cleanup Complete!"
  CleanRun(items, page, ui, actions, restart);
  EXPECT_EQ(choices(), 1);
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(profiles.Files("home"), kCleaned);
  EXPECT_EQ(profiles.Files("work"), kUntouched);

  ui.AnswerChoice("Work");
  ui.AnswerMessage(kNo);
  ui.AnswerChoice("Work");
  ui.AnswerMessage(kYes);
  ui.AnswerMessage(kOk);
  CleanRun(items, page, ui, actions, restart);
  EXPECT_EQ(choices(), 3);
  // Only the second item's mask ran in the confirmed profile.
  EXPECT_EQ(profiles.Files("work"), (Names{"cookies.sqlite", "prefs.js"}));
  EXPECT_TRUE(ui.ScriptUsedUp());
}

// A preview of a kind 7 item asks which profile, but not whether to delete: it deletes
// nothing and leaves the profile as it was, and lists what the confirmed run then removes.
TEST(ProfileRunTest, APreviewChangesNothingAndListsWhatTheCleaningRemoves) {
  const TempFolder temp;
  FolderProfiles profiles(temp, {"work", "home"});
  std::ofstream(temp / "Profiles/home/chrome/more.sqlite") << std::string(10000, 'm');
  const CleanAction action = CleanProfileAction(profiles);
  const CleanItem item{"first", "",         static_cast<int32_t>(ItemKind::BrowserProfile),
                       "",      "*.sqlite", false,
                       false,   false};
  ScriptedUserInterface ui;
  test::RecordingSink report;
  const auto before = test::SnapshotTree(temp.Path());

  ui.AnswerChoice("Home");
  CleanContext preview{.ui = ui, .report = report, .preview = true};
  action(item, preview);

  EXPECT_EQ(test::SnapshotTree(temp.Path()), before);
  EXPECT_EQ(ui.messages.size(), 0u);
  ASSERT_EQ(report.entries.size(), 3u);
  const std::vector<ReportEntry> previewed = report.entries;
  report.entries.clear();
  ui.AnswerChoice("Home");
  ui.AnswerMessage(kYes);
  CleanContext cleaning{.ui = ui, .report = report};
  action(item, cleaning);
  EXPECT_EQ(report.entries, test::AsCleaned(previewed));
  EXPECT_EQ(profiles.Files("home"), kCleaned);
  EXPECT_TRUE(ui.ScriptUsedUp());
}

}  // namespace
}  // namespace hv
