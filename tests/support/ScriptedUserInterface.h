#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ports/UserInterface.h"

namespace hv::test {

// A user interface that records every question and answers from a script. A question the
// test did not script fails the test.
class ScriptedUserInterface : public UserInterface {
 public:
  struct Message {
    std::string text;
    int style;
    std::string title;
    bool operator==(const Message&) const = default;
  };

  // Everything that happened, in order, as readable lines ("message: ...", "enable", ...).
  std::vector<std::string> events;
  std::vector<Message> messages;
  std::string caption;
  bool enabled = true;
  bool settings[2] = {true, true};
  // Runs as each message box appears, before it is answered: what the user does meanwhile.
  std::function<void(const std::string& text)> whileAsked;

  void AnswerMessage(int answer) { messageAnswers_.push_back(answer); }
  void AnswerPassword(std::string password) { passwords_.push_back(std::move(password)); }
  void AnswerChoice(std::string choice) { choices_.push_back(std::move(choice)); }
  void AnswerInput(std::optional<std::string> text) { inputs_.push_back(std::move(text)); }

  // True when every scripted answer was asked for.
  bool ScriptUsedUp() const {
    return messageAnswers_.empty() && passwords_.empty() && choices_.empty() && inputs_.empty();
  }

  int MessageBox(const std::string& text, int style, const std::string& title) override;
  std::string GetPassword(const std::string& prompt, bool noConfirm) override;
  std::string ChooseFromList(const std::string& prompt, const std::string& list) override;
  std::optional<std::string> InputText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override;
  void ProcessPendingMessages() override;
  void SetMainWindowEnabled(bool enabledNow) override;
  void SetMainWindowCaption(const std::string& text) override;
  bool SettingChecked(int index) override;

 private:
  std::deque<int> messageAnswers_;
  std::deque<std::string> passwords_;
  std::deque<std::string> choices_;
  std::deque<std::optional<std::string>> inputs_;
};

}  // namespace hv::test
