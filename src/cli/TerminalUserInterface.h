#pragma once

#include <iosfwd>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ports/UserInterface.h"

namespace hv::cli {

// How the questions of a command are answered: on the terminal when a person is there,
// otherwise from the command line's flags, and never by guessing.
struct AnswerPolicy {
  bool interactive = false;             // questions may be asked on the terminal
  bool yes = false;                     // Yes to the confirmation questions of a run
  bool allowRestart = false;            // the restart question may be answered Yes
  std::string profile;                  // the answer to the profile choice, when given
  std::optional<std::string> password;  // read from a file or descriptor, when given
  bool wipe = true;                     // the settings a run reads
  bool warn = true;
};

// The user-interface port on a terminal. Messages are printed as text (information on
// out, the rest on err); questions are asked on err and answered from standard input.
class TerminalUserInterface : public UserInterface {
 public:
  TerminalUserInterface(AnswerPolicy policy, std::ostream& out, std::ostream& err);
  ~TerminalUserInterface() override;
  TerminalUserInterface(const TerminalUserInterface&) = delete;
  TerminalUserInterface& operator=(const TerminalUserInterface&) = delete;

  int MessageBox(const std::string& text, int style, const std::string& title) override;
  std::string GetPassword(const std::string& prompt, bool noConfirm) override;
  std::string ChooseFromList(const std::string& prompt, const std::string& list) override;
  std::optional<std::string> InputText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override;
  void ProcessPendingMessages() override {}
  void SetMainWindowEnabled(bool) override {}
  void SetMainWindowCaption(const std::string&) override {}
  bool SettingChecked(int index) override;

  // The questions that got no answer but their declining one, for want of a person or a
  // flag, in the order asked: what they would have done was left undone.
  const std::vector<std::string>& Unanswered() const { return unanswered_; }

  // Held while anything is written to the terminal, so that a progress line does not cut
  // through a question.
  std::mutex& TerminalLock() { return terminal_; }
  // A progress line is on standard error: it is cleared before anything else is written.
  void ShowsProgress(bool shown) { progressShown_ = shown; }

 private:
  int Ask(const std::string& text, int buttons);
  std::optional<std::string> ReadAnswer();
  std::unique_lock<std::mutex> TakeTerminal();
  void Unanswerable(const std::string& question);

  AnswerPolicy policy_;
  std::ostream& out_;
  std::ostream& err_;
  std::vector<std::string> unanswered_;
  std::mutex terminal_;
  bool progressShown_ = false;
};

// "\r\n" line ends as the terminal writes them.
std::string TerminalText(const std::string& text);

}  // namespace hv::cli
