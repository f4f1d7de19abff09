#pragma once

#include <string>

#include "clean/CleanActions.h"

namespace hv {

class BrowserProfiles;

inline constexpr const char* kProfilePrompt = "Select a Netscape Profile:";
inline constexpr const char* kProfileQuestionTitle = "Netscape Cleanup";

// Unless a profile was confirmed earlier in this run (each run starts with a fresh context
// and so with none), offers the Firefox profiles of every install (in proper case, an
// install other than the usual one named after the profile) for choice and asks whether
// to clean the one chosen; on Yes it becomes the run's profile. A preview takes the choice
// without that question. Without any profile nothing is asked. Throws NumberedError when
// a folder of Firefox profiles is there but cannot be listed.
void ChooseProfile(CleanContext& context, BrowserProfiles& profiles);

// Deletes, never wipes, every file matching pattern at any depth of the run's profile,
// reporting each (a preview only reports); nothing without a confirmed profile.
void CleanProfile(const CleanContext& context, const std::string& pattern);

// Kind 7: ChooseProfile, then CleanProfile with the item's mask.
CleanAction CleanProfileAction(BrowserProfiles& profiles);

// "the first letter of each space-separated word in upper case, every other in lower";
// only ASCII letters change, so other bytes pass through untouched.
std::string ProperCase(const std::string& text);

}  // namespace hv
