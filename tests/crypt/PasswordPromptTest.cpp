#include "crypt/PasswordPrompt.h"

#include <gtest/gtest.h>

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
  std::string answers;             // to each mismatch message: 'r' Retry, else Cancel
  std::string expected;            // the password returned
  // 'P' the caller's prompt, 'R' the re-entry prompt set apart, 'M' the mismatch message
  std::string shown;
};

const PromptCase kCases[] = {
    {"LeadingAndTrailingBlanksKept", false, {" pass ", " pass "}, "", " pass ", "PR"},
    {"BlankOnlyEntryCountsAsNone", false, {"   "}, "", "", "P"},
    {"NoConfirmAsksOnce", true, {"abc"}, "", "abc", "P"},
    {"CaseMattersInComparison", false, {"Abc", "abc"}, "c", "", "PRM"},
    {"MismatchRetryAsksBothAgain", false, {"one", "two", "three", "three"}, "r", "three", "PRMPR"},
};

// Every showing is recorded; one more than scripted gets an empty entry or Cancel, which
// ends the prompt, so the record tells every showing too many or too few.
TEST(PromptForPasswordTest, AsksAndComparesAsScripted) {
  for (const PromptCase& c : kCases) {
    SCOPED_TRACE(c.name);
    std::size_t entries = 0, answers = 0;
    std::string shown;
    const auto dialog = [&](const std::string& prompt, bool reentry) {
      shown += prompt != (reentry ? kReenterPasswordPrompt : kPrompt) ? '?' : reentry ? 'R' : 'P';
      return entries < c.typed.size() ? c.typed[entries++] : std::string();
    };
    const auto messageBox = [&](const std::string& text, int style, const std::string& title) {
      shown += text == "Passwords do not match!" && style == 53 && title == "Hushvault" ? 'M' : '?';
      return answers < c.answers.size() && c.answers[answers++] == 'r' ? MessageAnswer::kRetry
                                                                       : MessageAnswer::kCancel;
    };
    EXPECT_EQ(PromptForPassword(kPrompt, c.noConfirm, dialog, messageBox), c.expected);
    EXPECT_EQ(shown, c.shown);
  }
}

TEST(WipeSecretTest, ZeroesContentAndEmptiesAlsoFromAGuard) {
  std::string secret = "a password long enough to live on the heap, not in the object";
  const char* storage = secret.data();
  const std::size_t capacity = secret.capacity();
  { const SecretGuard guard(secret); }
  EXPECT_TRUE(secret.empty());
  EXPECT_EQ(secret.data(), storage) << "wiping must not move the bytes elsewhere first";
  EXPECT_EQ(std::string(storage, capacity), std::string(capacity, '\0'));
}

}  // namespace
}  // namespace hv
