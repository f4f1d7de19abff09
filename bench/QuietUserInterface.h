#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "ports/UserInterface.h"

namespace bench {

// Answers nothing but message boxes, each with one answer: a benchmark passes what it needs
// itself and prints any message.
class QuietUserInterface : public hv::UserInterface {
 public:
  explicit QuietUserInterface(int answer = hv::MessageAnswer::kOk) : answer_(answer) {}

  int MessageBox(const std::string& text, int, const std::string&) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
    return answer_;
  }
  std::string GetPassword(const std::string&, bool) override { return {}; }
  std::string ChooseFromList(const std::string&, const std::string&) override { return {}; }
  std::optional<std::string> InputText(const std::string&, const std::string&,
                                       const std::string&) override {
    return std::nullopt;
  }
  void ProcessPendingMessages() override {}
  void SetMainWindowEnabled(bool) override {}
  void SetMainWindowCaption(const std::string&) override {}
  bool SettingChecked(int) override { return false; }

 private:
  int answer_;
};

}  // namespace bench
