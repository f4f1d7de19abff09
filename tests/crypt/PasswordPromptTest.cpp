#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "crypt/PasswordPrompt.h"
#include "crypt/WipeSecret.h"
#include "ports/UserInterface.h"

namespace hv {
namespace {

const std::string kPrompt = "Enter a password for the file: '/tmp/a.txt'.";
const std::string kReentry = std::string(kReenterPasswordPrompt) + " [red]";

struct PromptCase {
  std::string name;
  bool noConfirm;
  std::vector<std::string> typed;    // what the user types in each showing, in order
  std::vector<int> mismatchAnswers;  // answers to "Passwords do not match!", in order
  std::string expected;
  std::vector<std::string> shown;  // prompts shown, in order
};

class PromptForPasswordTest : public testing::TestWithParam<PromptCase> {};

TEST_P(PromptForPasswordTest, AsksAndComparesAsScripted) {
  const PromptCase& c = GetParam();
  std::deque<std::string> typed(c.typed.begin(), c.typed.end());
  std::deque<int> answers(c.mismatchAnswers.begin(), c.mismatchAnswers.end());
  std::vector<std::string> shown;
  int mismatches = 0;

  const auto dialog = [&](const std::string& prompt, bool reentry) {
    shown.push_back(reentry ? prompt + " [red]" : prompt);
    if (typed.empty()) {
      ADD_FAILURE() << "dialog shown once too often";
      return std::string();
    }
    std::string entry = typed.front();
    typed.pop_front();
    return entry;
  };
  const auto messageBox = [&](const std::string& text, int style, const std::string& title) {
    EXPECT_EQ(text, "Passwords do not match!");
    EXPECT_EQ(style, 53);
    EXPECT_EQ(title, "Hushvault");
    ++mismatches;
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected mismatch message";
      return MessageAnswer::kCancel;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  };

  EXPECT_EQ(PromptForPassword(kPrompt, c.noConfirm, dialog, messageBox), c.expected);
  EXPECT_EQ(shown, c.shown);
  EXPECT_EQ(mismatches, static_cast<int>(c.mismatchAnswers.size()));
  EXPECT_TRUE(typed.empty()) << "not every scripted entry was asked for";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PromptForPasswordTest,
    testing::Values(PromptCase{"ConfirmedEntryReturned",
                               false,
                               {"s3cret", "s3cret"},
                               {},
                               "s3cret",
                               {kPrompt, kReentry}},
                    PromptCase{"LeadingAndTrailingBlanksKept",
                               false,
                               {" pass ", " pass "},
                               {},
                               " pass ",
                               {kPrompt, kReentry}},
                    PromptCase{"CancelFirstShowingAsksNothingMore", false, {""}, {}, "", {kPrompt}},
                    PromptCase{"BlankOnlyEntryCountsAsNone", false, {"   "}, {}, "", {kPrompt}},
                    PromptCase{"NoConfirmAsksOnce", true, {"abc"}, {}, "abc", {kPrompt}},
                    PromptCase{"NoConfirmCancelled", true, {""}, {}, "", {kPrompt}},
                    PromptCase{"CaseMattersInComparison",
                               false,
                               {"Abc", "abc"},
                               {MessageAnswer::kCancel},
                               "",
                               {kPrompt, kReentry}},
                    PromptCase{"MismatchThenRetryAsksBothAgainUnderCallersPrompt",
                               false,
                               {"one", "two", "three", "three"},
                               {MessageAnswer::kRetry},
                               "three",
                               {kPrompt, kReentry, kPrompt, kReentry}},
                    PromptCase{"CancelInSecondShowingIsAMismatch",
                               false,
                               {"one", ""},
                               {MessageAnswer::kCancel},
                               "",
                               {kPrompt, kReentry}},
                    PromptCase{"RetryThenCancelFirstShowing",
                               false,
                               {"one", "two", ""},
                               {MessageAnswer::kRetry},
                               "",
                               {kPrompt, kReentry, kPrompt}}),
    [](const testing::TestParamInfo<PromptCase>& info) { return info.param.name; });

TEST(WipeSecretTest, ZeroesContentAndEmpties) {
  std::string secret = "a password long enough to live on the heap, not in the object";
  const char* storage = secret.data();
  const std::size_t capacity = secret.capacity();
  WipeSecret(secret);
  EXPECT_TRUE(secret.empty());
  EXPECT_EQ(secret.data(), storage) << "wiping must not move the bytes elsewhere first";
  for (std::size_t i = 0; i < capacity; ++i) {
    EXPECT_EQ(storage[i], '\0') << "byte " << i;
  }
}

TEST(WipeSecretTest, GuardWipesOnScopeExit) {
  std::string secret = "hunter2";
  { const SecretGuard guard(secret); }
  EXPECT_TRUE(secret.empty());
}

TEST(IsBlankTest, OnlySpacesAreBlank) {
  EXPECT_TRUE(IsBlank(""));
  EXPECT_TRUE(IsBlank("   "));
  EXPECT_FALSE(IsBlank(" x "));
  EXPECT_FALSE(IsBlank("\t"));
}

}  // namespace
}  // namespace hv
