#include "cli/TerminalUserInterface.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <span>
#include <sstream>

#include "crypt/PasswordPrompt.h"
#include "crypt/WipeSecret.h"
#include "platform/Terminal.h"

namespace hv::cli {
namespace {

// The restart question's title: only --allow-restart lets it be answered Yes.
constexpr const char* kRestartTitle = "Restart";

struct Button {
  const char* label;  // its first letter is what the user types
  int answer;
};

constexpr Button kOk{"OK", MessageAnswer::kOk};
constexpr Button kCancel{"Cancel", MessageAnswer::kCancel};
constexpr Button kAbort{"Abort", 3};
constexpr Button kRetry{"Retry", MessageAnswer::kRetry};
constexpr Button kIgnore{"Ignore", 5};
constexpr Button kYes{"Yes", MessageAnswer::kYes};
constexpr Button kNo{"No", MessageAnswer::kNo};

// The buttons of each button code of a message style, the declining answer first: it is
// what a question gets that nobody can answer.
struct ButtonSet {
  Button decline;
  std::vector<Button> buttons;
};

const ButtonSet& ButtonsOf(int style) {
  static const std::vector<ButtonSet> kSets = {
      {kOk, {kOk}},
      {kCancel, {kOk, kCancel}},
      {kAbort, {kAbort, kRetry, kIgnore}},
      {kCancel, {kYes, kNo, kCancel}},
      {kNo, {kYes, kNo}},
      {kCancel, {kRetry, kCancel}},
  };
  const size_t code = static_cast<size_t>(style & 7);
  return code < kSets.size() ? kSets[code] : kSets.front();
}

bool Offers(const ButtonSet& set, int answer) {
  return std::any_of(set.buttons.begin(), set.buttons.end(),
                     [answer](const Button& button) { return button.answer == answer; });
}

std::vector<std::string> Entries(const std::string& list) {
  std::vector<std::string> entries;
  std::stringstream stream(list);
  for (std::string entry; std::getline(stream, entry, ';');) {
    entries.push_back(entry);
  }
  return entries;
}

std::string Joined(std::span<const std::string> entries) {
  std::string text;
  for (const std::string& entry : entries) {
    text += (text.empty() ? "" : ", ") + entry;
  }
  return text;
}

}  // namespace

std::string TerminalText(const std::string& text) {
  std::string lines;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      continue;
    }
    lines += text[i];
  }
  return lines;
}

TerminalUserInterface::TerminalUserInterface(AnswerPolicy policy, std::ostream& out,
                                             std::ostream& err)
    : policy_(std::move(policy)), out_(out), err_(err) {}

TerminalUserInterface::~TerminalUserInterface() {
  if (policy_.password) {
    WipeSecret(*policy_.password);
  }
}

int TerminalUserInterface::MessageBox(const std::string& text, int style,
                                      const std::string& title) {
  const ButtonSet& set = ButtonsOf(style);
  if (set.buttons.size() == 1) {
    const auto lock = TakeTerminal();
    std::ostream& stream = (style & 0x70) == MessageStyle::kInformation ? out_ : err_;
    stream << TerminalText(text) << std::endl;
    return MessageAnswer::kOk;
  }
  if (title == kRestartTitle && !policy_.allowRestart) {
    const auto lock = TakeTerminal();
    err_ << TerminalText(text) << "\nNo: a restart is offered only with --allow-restart."
         << std::endl;
    return MessageAnswer::kNo;
  }
  const bool yesByFlag = title == kRestartTitle ? !policy_.interactive : policy_.yes;
  if (yesByFlag && Offers(set, MessageAnswer::kYes)) {
    const auto lock = TakeTerminal();
    err_ << TerminalText(text) << "\nYes" << std::endl;
    return MessageAnswer::kYes;
  }
  if (!policy_.interactive) {
    Unanswerable(text);
    return set.decline.answer;
  }
  return Ask(text, style);
}

int TerminalUserInterface::Ask(const std::string& text, int style) {
  const ButtonSet& set = ButtonsOf(style);
  std::string choices;
  for (const Button& button : set.buttons) {
    choices +=
        std::string(choices.empty() ? "" : "/") + "[" + button.label[0] + "]" + (button.label + 1);
  }
  for (;;) {
    std::optional<std::string> answer;
    {
      const auto lock = TakeTerminal();
      err_ << TerminalText(text) << "\n" << choices << "? " << std::flush;
      answer = ReadAnswer();
    }
    if (!answer) {
      Unanswerable(text);
      return set.decline.answer;
    }
    for (const Button& button : set.buttons) {
      if (!answer->empty() && std::tolower(static_cast<unsigned char>(answer->front())) ==
                                  std::tolower(static_cast<unsigned char>(button.label[0]))) {
        return button.answer;
      }
    }
  }
}

std::optional<std::string> TerminalUserInterface::ReadAnswer() {
  std::string line;
  if (!std::getline(std::cin, line)) {
    return std::nullopt;
  }
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  return line;
}

std::unique_lock<std::mutex> TerminalUserInterface::TakeTerminal() {
  std::unique_lock lock(terminal_);
  if (progressShown_) {
    err_ << "\r\033[K" << std::flush;  // the progress line makes room, and comes back later
  }
  return lock;
}

void TerminalUserInterface::Unanswerable(const std::string& question) {
  unanswered_.push_back(TerminalText(question));
}

std::string TerminalUserInterface::GetPassword(const std::string& prompt, bool noConfirm) {
  if (policy_.password) {
    return *policy_.password;
  }
  if (!policy_.interactive) {
    Unanswerable(prompt + " (no terminal: give --password-file or --password-fd)");
    return {};
  }
  const auto show = [this](const std::string& text, bool) {
    const auto lock = TakeTerminal();
    std::optional<std::string> typed =
        ReadLineWithoutEcho([&] { err_ << TerminalText(text) << " " << std::flush; });
    err_ << std::endl;
    return typed.value_or(std::string());
  };
  const auto message = [this](const std::string& text, int style, const std::string& title) {
    return MessageBox(text, style, title);
  };
  return PromptForPassword(prompt, noConfirm, show, message);
}

std::string TerminalUserInterface::ChooseFromList(const std::string& prompt,
                                                  const std::string& list) {
  if (list.find(';') == std::string::npos) {
    return list;
  }
  const std::vector<std::string> entries = Entries(list);
  if (!policy_.profile.empty()) {
    // The list shows names in proper case; the user may give the folder's own name.
    const auto named =
        std::find_if(entries.begin(), entries.end(), [this](const std::string& entry) {
          return std::equal(entry.begin(), entry.end(), policy_.profile.begin(),
                            policy_.profile.end(), [](char a, char b) {
                              return std::tolower(static_cast<unsigned char>(a)) ==
                                     std::tolower(static_cast<unsigned char>(b));
                            });
        });
    if (named != entries.end()) {
      return *named;
    }
    Unanswerable(prompt + " (none is named '" + policy_.profile + "'; offered: " + Joined(entries) +
                 ")");
    return {};
  }
  if (!policy_.interactive) {
    Unanswerable(prompt + " (offered: " + Joined(entries) + "; give --firefox-profile)");
    return {};
  }
  const auto lock = TakeTerminal();
  err_ << prompt << "\n";
  for (size_t i = 0; i < entries.size(); ++i) {
    err_ << "  " << i + 1 << ") " << entries[i] << "\n";
  }
  err_ << "Number (empty to skip)? " << std::flush;
  const std::optional<std::string> answer = ReadAnswer();
  size_t chosen = 0;
  if (answer) {
    std::istringstream(*answer) >> chosen;
  }
  return chosen >= 1 && chosen <= entries.size() ? entries[chosen - 1] : std::string();
}

std::optional<std::string> TerminalUserInterface::InputText(const std::string& prompt,
                                                            const std::string& title,
                                                            const std::string& initial) {
  if (!policy_.interactive) {
    Unanswerable(title + ": " + prompt);
    return std::nullopt;
  }
  const auto lock = TakeTerminal();
  err_ << prompt << (initial.empty() ? "" : " [" + initial + "]") << " " << std::flush;
  std::optional<std::string> answer = ReadAnswer();
  if (answer && answer->empty()) {
    return initial;
  }
  return answer;
}

bool TerminalUserInterface::SettingChecked(int index) {
  switch (index) {
    case 0:
      return policy_.wipe;
    case 1:
      return policy_.warn;
    default:
      return false;
  }
}

}  // namespace hv::cli
