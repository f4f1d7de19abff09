#include "clean/BrowserGuard.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <utility>

#include "clean/ExpandPath.h"
#include "platform/RunningBrowsers.h"
#include "ports/UserInterface.h"

namespace hv {
namespace {

namespace fs = std::filesystem;

// The kinds whose items may reach into a browser's profile or cache: files in a folder,
// cookies, history, cache, profile files, named files in a folder, files in every profile
// of a browser family.
constexpr ItemKind kBrowserKinds[] = {ItemKind::Files,
                                      ItemKind::Cookies,
                                      ItemKind::History,
                                      ItemKind::TemporaryInternetFiles,
                                      ItemKind::BrowserProfile,
                                      ItemKind::NamedFiles,
                                      ItemKind::BrowserFamilyFiles};

using Concerns = std::function<bool(const CleanItem&, const RunningBrowser&)>;

bool EveryBrowser(const CleanItem&, const RunningBrowser&) {
  return true;
}

fs::path Resolved(const std::string& path) {
  std::error_code error;
  const fs::path resolved = fs::weakly_canonical(path, error);
  return error ? fs::path(path).lexically_normal() : resolved;
}

// One folder lies in the other (or they are the same).
bool Overlap(const fs::path& one, const fs::path& other) {
  const auto within = [](const fs::path& inner, const fs::path& outer) {
    const auto [outerEnd, innerEnd] = std::ranges::mismatch(outer, inner);
    return outerEnd == outer.end() || (outerEnd->empty() && std::next(outerEnd) == outer.end());
  };
  return within(one, other) || within(other, one);
}

bool OverlapsItemFolder(const CleanItem& item, const RunningBrowser& browser) {
  const fs::path folder = Resolved(ExpandPath(item.Path));
  return std::ranges::any_of(browser.folders, [&folder](const std::string& browserFolder) {
    return Overlap(folder, Resolved(browserFolder));
  });
}

// False when the user ends the run here.
bool ClearOfRunningBrowsers(const CleanItem& item, CleanContext& context, RunningBrowsers& browsers,
                            const Concerns& concerns) {
  for (;;) {
    std::vector<RunningBrowser> running = browsers.Find();
    std::erase_if(running, [&](const RunningBrowser& browser) { return !concerns(item, browser); });
    if (running.empty()) {
      return true;
    }
    int answer = MessageAnswer::kIgnore;
    if (!context.preview && !context.browsersAsked) {
      std::vector<std::string> names;
      for (const RunningBrowser& browser : running) {
        if (std::ranges::find(names, browser.name) == names.end()) {
          names.push_back(browser.name);
        }
      }
      answer = context.ui.MessageBox(BrowserOpenQuestion(names),
                                     MessageStyle::kAbortRetryIgnore | MessageStyle::kExclamation,
                                     kAppTitle);
    }
    if (answer == MessageAnswer::kRetry) {
      continue;
    }
    if (answer != MessageAnswer::kIgnore) {  // Abort, or the box closed some other way
      context.aborted = true;
      return false;
    }
    context.browsersAsked = !context.preview;
    for (const RunningBrowser& browser : running) {
      for (const std::string& folder : browser.folders) {
        context.fence.Add(folder, LeftReason::kBrowserOpen);
      }
    }
    return true;
  }
}

CleanAction Guarded(CleanAction action, RunningBrowsers& browsers, Concerns concerns) {
  return [action = std::move(action), &browsers, concerns = std::move(concerns)](
             const CleanItem& item, CleanContext& context) {
    if (ClearOfRunningBrowsers(item, context, browsers, concerns)) {
      action(item, context);
    }
  };
}

}  // namespace

std::string BrowserOpenQuestion(const std::vector<std::string>& names) {
  if (names.size() == 1) {
    return names.front() +
           " is open. Close it to clean its cookies, history and files, then press Retry.";
  }
  std::string joined;
  for (size_t index = 0; index < names.size(); ++index) {
    joined += (index == 0 ? "" : index + 1 == names.size() ? " and " : ", ") + names[index];
  }
  return joined +
         " are open. Close them to clean their cookies, history and files, then press Retry.";
}

void GuardBrowserItems(CleanActions& actions, RunningBrowsers& browsers) {
  for (const ItemKind kind : kBrowserKinds) {
    if (const CleanAction* action = actions.Find(static_cast<int32_t>(kind))) {
      actions.Register(kind, Guarded(*action, browsers,
                                     kind == ItemKind::Files || kind == ItemKind::NamedFiles
                                         ? Concerns(OverlapsItemFolder)
                                         : Concerns(EveryBrowser)));
    }
  }
}

}  // namespace hv
