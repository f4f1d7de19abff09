// A cleaning run of every Web item over the current user's real browsers, for the
// end-to-end check with browsers open (scripts/browser-guard-check.sh): the user is played
// by the command line.
//
//   browser_guard_check ANSWER [ON_QUESTION]
//   browser_guard_check keep-cookie SITE
//
// ANSWER (abort, retry or ignore) answers the open-browser question; before answering,
// the shell command ON_QUESTION runs (closing the browsers, say). Each message is printed
// as "MESSAGE: text", then the run's report. keep-cookie stores SITE as the only site whose
// cookies are kept.

#include <cstdlib>
#include <iostream>
#include <map>
#include <string>

#include "QuietUserInterface.h"
#include "clean/CleanRun.h"
#include "clean/KeepLists.h"
#include "clean/RunReport.h"
#include "clean/StandardCleanActions.h"
#include "fileio/DefinitionLoader.h"
#include "platform/PlatformServices.h"
#include "ports/SelectionDocument.h"

namespace hv {
namespace {

class EverythingChecked : public SelectionDocument {
 public:
  bool IsCheckedByKey(const std::string&) override { return true; }
  int CheckBoxCount() override { return 0; }
  bool CheckBoxState(int) override { return true; }
  void ClickCheckBox(int) override {}
};

// Answers the open-browser question as told, every other message with OK; wipes, never
// warns.
class CommandLineUser : public bench::QuietUserInterface {
 public:
  CommandLineUser(int answer, std::string onQuestion)
      : answer_(answer), onQuestion_(std::move(onQuestion)) {}

  int MessageBox(const std::string& text, int style, const std::string&) override {
    std::cout << "MESSAGE: " << text << std::endl;
    if ((style & 7) != MessageStyle::kAbortRetryIgnore) {
      return MessageAnswer::kOk;
    }
    if (!onQuestion_.empty()) {
      std::cout << "RUNNING: " << onQuestion_ << std::endl;
      if (std::system(onQuestion_.c_str()) != 0) {
        std::cout << "the command failed" << std::endl;
      }
      onQuestion_.clear();  // once: a second question is answered as it comes
    }
    return answer_;
  }
  bool SettingChecked(int index) override { return index == 0; }

 private:
  int answer_;
  std::string onQuestion_;
};

}  // namespace
}  // namespace hv

int main(int argc, char** argv) {
  using namespace hv;
  const std::map<std::string, int> answers = {{"abort", MessageAnswer::kAbort},
                                              {"retry", MessageAnswer::kRetry},
                                              {"ignore", MessageAnswer::kIgnore}};
  if (argc == 3 && std::string(argv[1]) == "keep-cookie") {
    WriteKeepList(kKeepCookiesKey, {argv[2]});
    return 0;
  }
  if (argc < 2 || !answers.contains(argv[1])) {
    std::cerr << "usage: browser_guard_check abort|retry|ignore [command to run when asked]\n"
                 "       browser_guard_check keep-cookie SITE\n";
    return 2;
  }
  CleanItemList items;
  LoadCleanItems(HUSHVAULT_SOURCE_DIR "/config/webclean.cln", items);
  PlatformServices services = MakePlatformServices();
  const CleanActions actions = StandardCleanActions(services);
  EverythingChecked page;
  CommandLineUser user(answers.at(argv[1]), argc > 2 ? argv[2] : "");
  RunReport report;
  CleanRun(items, page, user, actions, *services.restart, {.preview = false, .report = &report});
  report.WriteText(std::cout, "REPORT");
  return 0;
}
