#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "InMemoryDocument.h"
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
  std::string ProfileRoot() override { return root_.string() + "/"; }
  Names ProfileNames() override { return names_; }

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
  std::vector<std::string> choices;  // what the list dialog answers, when it is shown
  std::vector<int> answers;          // what the question answers, when it is asked
  Names events;                      // what the user saw
  std::string cleaned;               // the profile folder whose files went, if any
};

class ChooseProfileTest : public testing::TestWithParam<ChoiceCase> {};

TEST_P(ChooseProfileTest, AsksAndCleansAsTheUserAnswers) {
  const ChoiceCase& c = GetParam();
#ifdef _WIN32
  if (std::string(c.name) == "names_alike_in_proper_case_are_shown_as_they_are") {
    GTEST_SKIP() << "Windows names that differ only in case name the same folder";
  }
#endif
  const TempFolder temp;
  FolderProfiles profiles(temp, c.profiles);
  ScriptedUserInterface ui;
  for (const std::string& choice : c.choices) {
    ui.AnswerChoice(choice);
  }
  for (const int answer : c.answers) {
    ui.AnswerMessage(answer);
  }
  CleanContext context{ui, false, {}};
  ChooseProfile(context, profiles);
  CleanProfile(context, profiles, "*.sqlite");

  EXPECT_EQ(ui.events, c.events);
  EXPECT_TRUE(ui.ScriptUsedUp());
  EXPECT_EQ(context.chosenProfile, c.cleaned);
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
    testing::Values(ChoiceCase{"one_profile_is_asked_about_at_once",
                               {"abcd.default"},
                               {},
                               {kYes},
                               {"chosen without asking: Abcd.default", Question("Abcd.default")},
                               "abcd.default"},
                    ChoiceCase{"several_profiles_are_offered_in_a_list",
                               {"work", "old profile", "Default"},
                               {"Old Profile"},
                               {kYes},
                               {"choose: Select a Netscape Profile: [Work;Old Profile;Default]",
                                Question("Old Profile")},
                               "old profile"},
                    ChoiceCase{"no_choice_cancel_or_ok_without_selection",
                               {"work", "Default"},
                               {""},
                               {},
                               {"choose: Select a Netscape Profile: [Work;Default]"},
                               ""},
                    ChoiceCase{"no_to_the_question",
                               {"work"},
                               {},
                               {kNo},
                               {"chosen without asking: Work", Question("Work")},
                               ""},
                    ChoiceCase{"no_profiles_asks_nothing", {}, {}, {}, {}, ""},
                    ChoiceCase{"names_alike_in_proper_case_are_shown_as_they_are",
                               {"default", "Default", "work"},
                               {"default"},
                               {kYes},
                               {"choose: Select a Netscape Profile: [default;Default;Work]",
                                Question("default")},
                               "default"},
                    ChoiceCase{"a_name_with_the_separator_is_left_out",
                               {"a;b", "work"},
                               {},
                               {kYes},
                               {"chosen without asking: Work", Question("Work")},
                               "work"}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

TEST(ProperCaseTest, CapitalisesEachWordAndLowersTheRest) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"abcd1234.default-release", "Abcd1234.default-release"},
      {"my PROFILE x", "My Profile X"},
      {"  two  spaces", "  Two  Spaces"},
      {"\xc3\x89"
       "COLE",
       "\xc3\x89"
       "cole"},
      {"", ""},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ProperCase(text), expected) << text;
  }
}

class NoRestart : public RestartService {
 public:
  bool RequestRestart() override {
    ADD_FAILURE() << "no restart expected";
    return false;
  }
};

CleanItem ProfileItem(const std::string& key, const std::string& mask) {
  CleanItem item;
  item.Key = key;
  item.Caption = key;
  item.Kind = static_cast<int32_t>(ItemKind::BrowserProfile);
  item.Mask = mask;
  return item;
}

// Two profile items in one run, through the cleaning run itself.
class ProfileRunTest : public testing::Test {
 protected:
  ProfileRunTest() : profiles(temp, {"work", "home"}) {
    actions.Register(ItemKind::BrowserProfile, CleanProfileAction(profiles));
    page.Box("first", true).Box("second", true);
  }
  void Run() {
    CleanRun({ProfileItem("first", "cookies.sqlite"), ProfileItem("second", "cache.sqlite")}, page,
             ui, actions, restart);
  }
  Names Choices() const {
    Names choices;
    std::copy_if(ui.events.begin(), ui.events.end(), std::back_inserter(choices),
                 [](const std::string& event) { return event.starts_with("choose:"); });
    return choices;
  }

  TempFolder temp;
  FolderProfiles profiles;
  CleanActions actions;
  InMemoryDocument page;
  ScriptedUserInterface ui;
  NoRestart restart;
};

// Two profile items per run: a confirmed choice serves both, the next run asks again, and
// a declined choice is offered again by the next item.
TEST_F(ProfileRunTest, EachRunChoosesOnceItsChoiceIsConfirmed) {
  ui.AnswerChoice("Home");
  ui.AnswerMessage(kYes);
  ui.AnswerMessage(kOk);  // "Cleanup Complete!"
  Run();
  EXPECT_EQ(Choices().size(), 1u);
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(profiles.Files("home"), kCleaned);
  EXPECT_EQ(profiles.Files("work"), kUntouched);

  for (const char* choice : {"Work", "Work"}) {
    ui.AnswerChoice(choice);
  }
  ui.AnswerMessage(kNo);
  ui.AnswerMessage(kYes);
  ui.AnswerMessage(kOk);
  Run();
  EXPECT_EQ(Choices().size(), 3u);
  // Only the second item's mask ran in the confirmed profile.
  EXPECT_EQ(profiles.Files("work"), (Names{"cookies.sqlite", "prefs.js"}));
  EXPECT_TRUE(ui.ScriptUsedUp());
}

}  // namespace
}  // namespace hv
