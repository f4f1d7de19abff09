#include "crypt/PasswordPrompt.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "crypt/WipeSecret.h"
#include "ports/UserInterface.h"

namespace hv {
namespace {

const std::string kPrompt = "Enter a password for the file: '/tmp/a.txt'.";

struct PromptCase {
  const char* name;
  bool noConfirm;
  std::vector<std::string> typed;  // what the user types in each showing, in order
  std::string answers;             // to each "Passwords do not match!": 'r' Retry, 'c' Cancel
  std::string expected;            // the password returned
  std::string shown;               // 'P' the caller's prompt, 'R' the re-entry prompt set apart
};

const PromptCase kCases[] = {
    {"ConfirmedEntryReturned", false, {"s3cret", "s3cret"}, "", "s3cret", "PR"},
    {"LeadingAndTrailingBlanksKept", false, {" pass ", " pass "}, "", " pass ", "PR"},
    {"CancelFirstShowingAsksNothingMore", false, {""}, "", "", "P"},
    {"BlankOnlyEntryCountsAsNone", false, {"   "}, "", "", "P"},
    {"NoConfirmAsksOnce", true, {"abc"}, "", "abc", "P"},
    {"NoConfirmCancelled", true, {""}, "", "", "P"},
    {"CaseMattersInComparison", false, {"Abc", "abc"}, "c", "", "PR"},
    {"MismatchRetryAsksBothAgain", false, {"one", "two", "three", "three"}, "r", "three", "PRPR"},
    {"CancelInSecondShowingIsAMismatch", false, {"one", ""}, "c", "", "PR"},
    {"RetryThenCancelFirstShowing", false, {"one", "two", ""}, "r", "", "PRP"},
};

class PromptForPasswordTest : public testing::TestWithParam<PromptCase> {};

TEST_P(PromptForPasswordTest, AsksAndComparesAsScripted) {
  const PromptCase& c = GetParam();
  std::deque<std::string> typed(c.typed.begin(), c.typed.end());
  std::string answers = c.answers;
  std::string shown;
  const auto dialog = [&](const std::string& prompt, bool reentry) {
    shown += !reentry && prompt == kPrompt                 ? 'P'
             : reentry && prompt == kReenterPasswordPrompt ? 'R'
                                                           : '?';
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
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected mismatch message";
      return MessageAnswer::kCancel;
    }
    const char answer = answers.front();
    answers.erase(0, 1);
    return answer == 'r' ? MessageAnswer::kRetry : MessageAnswer::kCancel;
  };

  EXPECT_EQ(PromptForPassword(kPrompt, c.noConfirm, dialog, messageBox), c.expected);
  EXPECT_EQ(shown, c.shown);
  EXPECT_TRUE(answers.empty()) << "a mismatch was not reported";
  EXPECT_TRUE(typed.empty()) << "not every scripted entry was asked for";
}

INSTANTIATE_TEST_SUITE_P(Cases, PromptForPasswordTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WipeSecretTest, ZeroesContentAndEmptiesAlsoFromAGuard) {
  std::string secret = "a password long enough to live on the heap, not in the object";
  const char* storage = secret.data();
  const std::size_t capacity = secret.capacity();
  { const SecretGuard guard(secret); }
  EXPECT_TRUE(secret.empty());
  EXPECT_EQ(secret.data(), storage) << "wiping must not move the bytes elsewhere first";
  EXPECT_EQ(std::string(storage, capacity), std::string(capacity, '\0'));
}

TEST(IsBlankTest, OnlySpacesAreBlank) {
  EXPECT_TRUE(IsBlank(""));
  EXPECT_TRUE(IsBlank("   "));
  EXPECT_FALSE(IsBlank(" x "));
  EXPECT_FALSE(IsBlank("\t"));
}

}  // namespace
}  // namespace hv
