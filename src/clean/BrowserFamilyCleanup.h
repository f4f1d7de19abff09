#pragma once

#include <string>
#include <vector>

#include "clean/CleanActions.h"
#include "fileio/PathFence.h"
#include "platform/FileSystem.h"

namespace hv {

class BrowserProfiles;

// In the open profile folder, erases what each pattern reaches, reporting every file (a
// preview only reports). A pattern is relative to the profile, its parts separated by
// '/', each part a name pattern: the parts before the last pick the folders to descend
// into, the last the files directly in them (dot-names too; links and folders are never
// removed). A last part "*" after a '/' takes the whole content of the folders picked,
// at any depth, and keeps those folders. No link is followed and no other file system
// entered, so nothing outside the profile is reached; nor is anything fence holds.
void CleanProfileFiles(Folder& profile, const std::vector<std::string>& patterns, bool wipe,
                       ReportSink& report, bool preview, const PathFence& fence = PathFence{});

// Kind 9: in every profile of the browser family that the item's path names ("firefox" or
// "chromium", the whole Chromium family), CleanProfileFiles with the patterns of its mask
// (separated by ';'), wiping as the run's setting says. Asks nothing. "firefox-cache" and
// "chromium-cache" reach every such profile's disk cache folder instead, and
// "firefox-installs" and "chromium-installs" each install's folder that holds the
// profiles (its crash reports, for instance).
CleanAction CleanBrowserFamilyAction(BrowserProfiles& profiles, FileSystem& files);

}  // namespace hv
