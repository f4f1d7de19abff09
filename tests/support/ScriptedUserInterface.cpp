#include "ScriptedUserInterface.h"

#include <gtest/gtest.h>

namespace hv::test {
namespace {

template <typename T>
T Next(std::deque<T>& queue, const std::string& question, T fallback) {
  if (queue.empty()) {
    ADD_FAILURE() << "unscripted question: " << question;
    return fallback;
  }
  T answer = std::move(queue.front());
  queue.pop_front();
  return answer;
}

}  // namespace

int ScriptedUserInterface::MessageBox(const std::string& text, int style,
                                      const std::string& title) {
  messages.push_back({text, style, title});
  events.push_back("message: " + text);
  if (whileAsked) {
    whileAsked(text);
  }
  return Next(messageAnswers_, "message box '" + text + "'", MessageAnswer::kCancel);
}

std::string ScriptedUserInterface::GetPassword(const std::string& prompt, bool noConfirm) {
  events.push_back(std::string("password: ") + prompt + (noConfirm ? "" : " (confirm)"));
  return Next(passwords_, "password '" + prompt + "'", std::string());
}

std::string ScriptedUserInterface::ChooseFromList(const std::string& prompt,
                                                  const std::string& list) {
  // As the port promises: a list without ';' is its own answer and nothing is shown.
  if (list.find(';') == std::string::npos) {
    events.push_back("chosen without asking: " + list);
    return list;
  }
  events.push_back("choose: " + prompt + " [" + list + "]");
  return Next(choices_, "choice '" + prompt + "'", std::string());
}

std::optional<std::string> ScriptedUserInterface::InputText(const std::string& prompt,
                                                            const std::string& title,
                                                            const std::string& initial) {
  events.push_back("input: " + prompt + " (" + title + ") [" + initial + "]");
  return Next(inputs_, "input '" + prompt + "'", std::optional<std::string>());
}

void ScriptedUserInterface::ProcessPendingMessages() {
  events.push_back("yield");
}

void ScriptedUserInterface::SetMainWindowEnabled(bool enabledNow) {
  enabled = enabledNow;
  events.push_back(enabledNow ? "enable" : "disable");
}

void ScriptedUserInterface::SetMainWindowCaption(const std::string& text) {
  caption = text;
  events.push_back("caption: " + text);
}

bool ScriptedUserInterface::SettingChecked(int index) {
  EXPECT_TRUE(index == 0 || index == 1) << "no setting " << index;
  return index == 0 || index == 1 ? settings[index] : false;
}

}  // namespace hv::test
