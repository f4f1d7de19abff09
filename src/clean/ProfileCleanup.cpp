#include "clean/ProfileCleanup.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <utility>
#include <vector>

#include "fileio/DeleteFiles.h"
#include "platform/BrowserProfiles.h"
#include "ports/UserInterface.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr const char* kErrorSource = "Hushvault";
constexpr long kPathFileAccess = 75;

// How the list names a profile: in proper case, with the install it belongs to where that
// is not the usual one, so that two installs' profiles can be told apart.
std::string Shown(const BrowserProfile& profile, bool asStored) {
  const std::string name = asStored ? profile.name : ProperCase(profile.name);
  return profile.install.empty() ? name : name + " (" + profile.install + ")";
}

// What the list shows for each Firefox profile, beside its folder. Folder names are
// case-sensitive here, so names that only differ in case are shown as they are: in proper
// case they would look alike and the choice would be ambiguous. A name holding the list
// separator cannot be offered and is left out. A profiles folder that is there but cannot
// be listed is an error the run hears of, not "no profiles".
std::vector<std::pair<std::string, std::string>> OfferedProfiles(BrowserProfiles& profiles) {
  const BrowserProfileList found = profiles.Profiles();
  for (const UnreadableFolder& folder : found.unreadable) {
    if (folder.family == BrowserFamily::kFirefox) {
      throw NumberedError(kPathFileAccess, kErrorSource,
                          "Path/File access error: '" + folder.path + "' (" + folder.reason + ")");
    }
  }
  std::vector<BrowserProfile> firefox;
  std::copy_if(found.profiles.begin(), found.profiles.end(), std::back_inserter(firefox),
               [](const BrowserProfile& profile) {
                 return profile.family == BrowserFamily::kFirefox &&
                        profile.name.find(';') == std::string::npos;
               });
  std::map<std::string, int> sameLooking;
  for (const BrowserProfile& profile : firefox) {
    ++sameLooking[Shown(profile, false)];
  }
  std::vector<std::pair<std::string, std::string>> offered;
  for (const BrowserProfile& profile : firefox) {
    const std::string shown = Shown(profile, false);
    offered.emplace_back(sameLooking[shown] > 1 ? Shown(profile, true) : shown, profile.folder);
  }
  return offered;
}

}  // namespace

std::string ProperCase(const std::string& text) {
  std::string result = text;
  bool wordStart = true;
  for (char& c : result) {
    c = wordStart ? AsciiUpper(c) : AsciiLower(c);
    wordStart = c == ' ';
  }
  return result;
}

void ChooseProfile(CleanContext& context, BrowserProfiles& profiles) {
  if (!context.chosenProfile.empty()) {
    return;
  }
  const auto offered = OfferedProfiles(profiles);
  if (offered.empty()) {
    return;
  }
  std::string list;
  for (const auto& [shown, folder] : offered) {
    list += (list.empty() ? "" : ";") + shown;
  }
  const std::string choice = context.ui.ChooseFromList(kProfilePrompt, list);
  if (choice.empty()) {
    return;
  }
  const auto chosen = std::find_if(offered.begin(), offered.end(),
                                   [&](const auto& profile) { return profile.first == choice; });
  if (chosen == offered.end()) {
    return;
  }
  if (context.preview) {
    context.chosenProfile = chosen->second;  // a preview deletes nothing: nothing to confirm
    return;
  }
  const int answer = context.ui.MessageBox(
      "Are you sure you want to delete data from the profile named '" + choice + "'?",
      MessageStyle::kYesNo | MessageStyle::kQuestion, kProfileQuestionTitle);
  context.chosenProfile = answer == MessageAnswer::kYes ? chosen->second : std::string();
}

void CleanProfile(const CleanContext& context, const std::string& pattern) {
  if (context.chosenProfile.empty()) {
    return;
  }
  DeleteFiles(context.chosenProfile, pattern, false, context.report, context.preview,
              NativeFileSystem(), context.fence);
}

CleanAction CleanProfileAction(BrowserProfiles& profiles) {
  return [&profiles](const CleanItem& item, CleanContext& context) {
    ChooseProfile(context, profiles);
    CleanProfile(context, item.Mask);
  };
}

}  // namespace hv
