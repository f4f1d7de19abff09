#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "InMemoryDocument.h"
#include "ScriptedUserInterface.h"
#include "clean/CleanRun.h"
#include "platform/RestartService.h"

namespace hv {
namespace {

using test::InMemoryDocument;
using test::ScriptedUserInterface;

constexpr int kYes = 6;
constexpr int kNo = 7;
constexpr int kOk = 1;

const std::string kRestartQuestion =
    "Cleanup Complete!\r\nTo complete the process you will need to restart the computer\r\n"
    "Do you want to do that now?";

class RecordingRestart : public RestartService {
 public:
  int requests = 0;
  bool RequestRestart() override {
    ++requests;
    return true;
  }
};

CleanItem Item(const std::string& key, int32_t kind, bool restart = false, bool confirm = false) {
  return {key, "clean " + key, kind, "", "", false, restart, confirm};
}

// A run over items with every action recording the key of the item it was given.
class CleanRunTest : public testing::Test {
 protected:
  CleanRunTest() {
    for (int kind = 1; kind <= 7; ++kind) {
      actions.Register(static_cast<ItemKind>(kind), [this](const CleanItem& item, CleanContext&) {
        ran.push_back(item.Key);
        if (item.Mask == "throw") {
          throw std::runtime_error("the action failed");
        }
      });
    }
  }

  void Run(const CleanItemList& items) { CleanRun(items, page, ui, actions, restart); }

  // The messages shown, without the waits and captions around them.
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& message : ui.messages) {
      texts.push_back(message.text);
    }
    return texts;
  }

  InMemoryDocument page;
  ScriptedUserInterface ui;
  CleanActions actions;
  RecordingRestart restart;
  std::vector<std::string> ran;
};

TEST_F(CleanRunTest, RunsCheckedItemsInListOrderWithTheWindowDisabled) {
  page.Box("c", true).Box("a", true).Box("b", false);
  ui.AnswerMessage(kOk);
  Run({Item("a", 1), Item("b", 2), Item("c", 3)});

  EXPECT_EQ(ran, (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(page.lookups, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(ui.messages,
            (std::vector<ScriptedUserInterface::Message>{{"Cleanup Complete!", 64, "Hushvault"}}));
  EXPECT_EQ(ui.events,
            (std::vector<std::string>{
                "disable", "caption: Hushvault - Cleaning up - please wait...", "yield", "yield",
                "yield", "enable", "caption: Hushvault", "message: Cleanup Complete!"}));
  EXPECT_EQ(restart.requests, 0);
}

// Sensitive items are asked about only while warn is on, before the restart question; a No
// to the item that needs the restart still offers the restart.
TEST_F(CleanRunTest, AsksOnlyAboutSensitiveItemsWhileWarnIsOn) {
  const struct {
    bool warn;
    std::vector<int> answers;
    std::vector<std::string> ran;
    int restarts;
  } cases[] = {
      {false, {kYes}, {"plain", "secret", "reboot"}, 1},
      {true, {kNo, kNo, kNo}, {"plain"}, 0},
      {true, {kNo, kNo, kYes}, {"plain"}, 1},
  };
  page.Box("plain", true).Box("secret", true).Box("reboot", true);
  for (const auto& c : cases) {
    ui = ScriptedUserInterface();
    ui.settings[1] = c.warn;
    for (const int answer : c.answers) {
      ui.AnswerMessage(answer);
    }
    ran.clear();
    restart.requests = 0;
    Run({Item("plain", 2), Item("secret", 1, false, true), Item("reboot", 6, true, true)});

    std::vector<std::string> asked;
    if (c.warn) {
      asked = {"Are you sure you want to: \r\nclean secret?",
               "Are you sure you want to: \r\nclean reboot?"};
    }
    asked.push_back(kRestartQuestion);
    EXPECT_EQ(Messages(), asked);
    EXPECT_EQ(ui.messages.back(),
              (ScriptedUserInterface::Message{kRestartQuestion, 36, "Restart"}));
    EXPECT_EQ(ran, c.ran);
    EXPECT_EQ(restart.requests, c.restarts);
    EXPECT_TRUE(ui.ScriptUsedUp());
  }
}

TEST_F(CleanRunTest, LookupsThatMissFindSeveralOrFailCountAsUnchecked) {
  page.Box("twice", true).Box("twice", true);
  InMemoryDocument::Element named;
  named.name = "byname";
  named.checked = true;
  page.elements.push_back(named);
  ui.AnswerMessage(kOk);
  Run({Item("absent", 1), Item("twice", 1), Item("byname", 2)});
  EXPECT_EQ(ran, (std::vector<std::string>{"byname"}));

  InMemoryDocument broken;
  broken.Box("x", true);
  broken.failLookups = true;
  ui.AnswerMessage(kOk);
  CleanRun({Item("x", 1, true, true)}, broken, ui, actions, restart);
  EXPECT_EQ(ran, (std::vector<std::string>{"byname"}));
  EXPECT_EQ(Messages().back(), "Cleanup Complete!");
}

TEST_F(CleanRunTest, UnknownKindsAreAskedAboutThenPassedOverButStillMarkTheRestart) {
  page.Box("zero", true).Box("eight", true).Box("minus", true);
  ui.AnswerMessage(kYes);
  ui.AnswerMessage(kNo);
  Run({Item("zero", 0, true), Item("eight", 8, false, true), Item("minus", -1)});
  EXPECT_TRUE(ran.empty());
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Are you sure you want to: \r\nclean eight?",
                                                  kRestartQuestion}));
  EXPECT_EQ(restart.requests, 0);
}

TEST_F(CleanRunTest, FailingActionIsSkippedAndTheRunGoesOn) {
  CleanItem failing = Item("bad", 2);
  failing.Mask = "throw";
  page.Box("bad", true).Box("good", true);
  ui.AnswerMessage(kOk);
  Run({failing, Item("good", 3)});
  EXPECT_EQ(ran, (std::vector<std::string>{"bad", "good"}));
  EXPECT_TRUE(ui.enabled);
  EXPECT_EQ(ui.caption, "Hushvault");
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Cleanup Complete!"}));
}

TEST_F(CleanRunTest, EmptyListOrNothingCheckedStillCompletes) {
  for (const CleanItemList& items : {CleanItemList{}, CleanItemList{Item("off", 1)}}) {
    ScriptedUserInterface fresh;
    fresh.AnswerMessage(kOk);
    page.Box("off", false);
    CleanRun(items, page, fresh, actions, restart);
    EXPECT_EQ(fresh.events.front(), "disable");
    EXPECT_EQ(fresh.messages.back().text, "Cleanup Complete!");
    EXPECT_TRUE(fresh.enabled);
  }
  EXPECT_TRUE(ran.empty());
}

}  // namespace
}  // namespace hv
