#pragma once

#include "fileio/CleanItem.h"

namespace hv::test {

// The items that reach into both browsers: their cookies, their history and their caches.
inline const CleanItemList kWebCleanItems = {
    {"Cookies", "delete cookies", 3, "", "", false, false, false},
    {"History", "clear history", 4, "", "", false, false, false},
    {"FirefoxCache", "delete the Firefox cache", 2, "%Cache%/mozilla/firefox/", "*", false, false,
     false},
    {"ChromiumCache", "delete the Chromium cache", 2, "%Cache%/chromium/", "*", false, false,
     false},
};

}  // namespace hv::test
