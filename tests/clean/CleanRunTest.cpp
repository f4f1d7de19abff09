#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "InMemoryDocument.h"
#include "ScriptedUserInterface.h"
#include "clean/CleanRun.h"
#include "clean/RunReport.h"
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

constexpr int kLongItemEntries = 1000;

// A run over items with every action recording the key of the item it was given. The
// item's mask says what else its action does: "throw" fails, "left" leaves a file it
// cannot remove, "long" reports many files and stops when asked.
class CleanRunTest : public testing::Test {
 protected:
  CleanRunTest() {
    for (int kind = 1; kind <= 7; ++kind) {
      actions.Register(static_cast<ItemKind>(kind),
                       [this](const CleanItem& item, CleanContext& context) {
                         ran.push_back(item.Key);
                         previews.push_back(context.preview);
                         Act(item.Mask, context);
                       });
    }
  }

  void Act(const std::string& mask, CleanContext& context) {
    const EntryOutcome done =
        context.preview ? EntryOutcome::kWouldBeRemoved : EntryOutcome::kRemoved;
    if (mask == "throw") {
      throw std::runtime_error("the action failed");
    }
    if (mask == "left") {
      context.report.Add(
          {EntryType::kFile, "/busy", std::nullopt, EntryOutcome::kLeft, LeftReason::kInUse});
    }
    for (int i = 0; mask == "long" && i < kLongItemEntries; ++i) {
      if (context.report.StopRequested()) {
        return;
      }
      context.report.Add({EntryType::kFile, "/f" + std::to_string(i), 512, done, ""});
      if (onEntry) {
        onEntry(i);
      }
    }
  }

  void Run(const CleanItemList& items, RunOptions options = {}) {
    CleanRun(items, page, ui, actions, restart, options);
  }

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
  std::vector<bool> previews;
  std::function<void(int)> onEntry;  // called after each entry of a long item
};

CleanItem WithMask(CleanItem item, const std::string& mask) {
  item.Mask = mask;
  return item;
}

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

// A failure is never told as success: the item that threw and the item that left a file
// behind are named with their reasons, and the run still carries out every item.
TEST_F(CleanRunTest, ItemsThatFailOrLeaveSomethingAreNamedInTheClosingMessage) {
  page.Box("bad", true).Box("good", true).Box("busy", true);
  ui.AnswerMessage(kOk);
  RunReport report;
  Run({WithMask(Item("bad", 2), "throw"), Item("good", 3), WithMask(Item("busy", 2), "left")},
      {.report = &report});
  EXPECT_EQ(ran, (std::vector<std::string>{"bad", "good", "busy"}));
  EXPECT_TRUE(ui.enabled);
  EXPECT_EQ(ui.caption, "Hushvault");
  EXPECT_EQ(ui.messages, (std::vector<ScriptedUserInterface::Message>{
                             {"Cleanup Complete!\r\n\r\n"
                              "Some items could not be cleaned completely:\r\n"
                              "clean bad: the action failed\r\n"
                              "clean busy: in use by another program",
                              64, "Hushvault"}}));
  EXPECT_EQ(report.ItemCount(), 3u);
  EXPECT_EQ(report.Item(0).tally.left, 1u);
}

TEST_F(CleanRunTest, RestartQuestionNamesTheItemsLeftBeforeItAsks) {
  page.Box("busy", true);
  ui.settings[1] = false;
  ui.AnswerMessage(kNo);
  Run({WithMask(Item("busy", 2, true), "left")});
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "Cleanup Complete!\r\n"
                            "To complete the process you will need to restart the computer\r\n"
                            "\r\nSome items could not be cleaned completely:\r\n"
                            "clean busy: in use by another program\r\n"
                            "\r\nDo you want to do that now?"}));
  EXPECT_EQ(restart.requests, 0);
}

// A preview walks the same items with the preview switch on, asks nothing even about
// sensitive items, offers no restart and says nothing at the end.
TEST_F(CleanRunTest, PreviewAsksNothingAndEveryActionSeesTheSwitch) {
  page.Box("plain", true).Box("secret", true).Box("reboot", true);
  ui.settings[1] = true;
  RunReport report;
  Run({WithMask(Item("plain", 2), "long"), Item("secret", 1, false, true),
       Item("reboot", 6, true, true)},
      {.preview = true, .report = &report});
  EXPECT_EQ(ran, (std::vector<std::string>{"plain", "secret", "reboot"}));
  EXPECT_EQ(previews, (std::vector<bool>{true, true, true}));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(restart.requests, 0);
  EXPECT_TRUE(ui.enabled);
  EXPECT_EQ(report.Entry(0, 0).outcome, EntryOutcome::kWouldBeRemoved);
  EXPECT_EQ(report.Totals().Entries(), static_cast<uint64_t>(kLongItemEntries));
}

// Cancel during a long item: it ends at an entry boundary, later items never run, nothing
// more is asked and the window is enabled again.
TEST_F(CleanRunTest, StopEndsTheRunAtAnEntryBoundary) {
  page.Box("long", true).Box("later", true).Box("reboot", true);
  RunReport report;
  onEntry = [&](int i) {
    if (i == 41) {
      report.RequestStop();
    }
  };
  Run({WithMask(Item("long", 2), "long"), Item("later", 3), Item("reboot", 6, true)},
      {.report = &report});
  EXPECT_EQ(ran, (std::vector<std::string>{"long"}));
  EXPECT_EQ(report.Totals().Entries(), 42u);
  EXPECT_EQ(report.Entry(0, 41).what, "/f41");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(restart.requests, 0);
  EXPECT_TRUE(ui.enabled);
  EXPECT_EQ(ui.caption, "Hushvault");
}

TEST_F(CleanRunTest, EmptyListNothingCheckedOrAllCleanCompletesExactly) {
  page.Box("off", false).Box("on", true);
  for (const CleanItemList& items : {CleanItemList{}, CleanItemList{Item("off", 1)},
                                     CleanItemList{WithMask(Item("on", 2), "long")}}) {
    ScriptedUserInterface fresh;
    fresh.AnswerMessage(kOk);
    CleanRun(items, page, fresh, actions, restart);
    EXPECT_EQ(fresh.events.front(), "disable");
    EXPECT_EQ(
        fresh.messages,
        (std::vector<ScriptedUserInterface::Message>{{"Cleanup Complete!", 64, "Hushvault"}}));
    EXPECT_TRUE(fresh.enabled);
  }
  EXPECT_EQ(ran, (std::vector<std::string>{"on"}));
}

}  // namespace
}  // namespace hv
