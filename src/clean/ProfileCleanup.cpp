#include "clean/ProfileCleanup.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "fileio/DeleteFiles.h"
#include "platform/BrowserProfiles.h"
#include "platform/FileSystem.h"
#include "ports/UserInterface.h"

namespace hv {
namespace {

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// What the list shows for each profile, beside the folder name the path is built from.
// Folder names are case-sensitive here, so names that only differ in case are shown as
// they are: in proper case they would look alike and the choice would be ambiguous. A
// name holding the list separator cannot be offered and is left out.
std::vector<std::pair<std::string, std::string>> OfferedProfiles(
    const std::vector<std::string>& names) {
  std::map<std::string, int> sameLooking;
  for (const std::string& name : names) {
    ++sameLooking[ProperCase(name)];
  }
  std::vector<std::pair<std::string, std::string>> offered;
  for (const std::string& name : names) {
    if (name.find(';') == std::string::npos) {
      const std::string shown = ProperCase(name);
      offered.emplace_back(sameLooking[shown] > 1 ? name : shown, name);
    }
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
  const auto offered = OfferedProfiles(profiles.ProfileNames());
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

void CleanProfile(const CleanContext& context, BrowserProfiles& profiles,
                  const std::string& pattern) {
  if (context.chosenProfile.empty()) {
    return;
  }
  DeleteFiles(profiles.ProfileRoot() + context.chosenProfile + kPathSeparator, pattern, false,
              context.report, context.preview, NativeFileSystem(), context.fence);
}

CleanAction CleanProfileAction(BrowserProfiles& profiles) {
  return [&profiles](const CleanItem& item, CleanContext& context) {
    ChooseProfile(context, profiles);
    CleanProfile(context, profiles, item.Mask);
  };
}

}  // namespace hv
