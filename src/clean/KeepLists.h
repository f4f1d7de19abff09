#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

class PathFence;

// What the user keeps from every cleaning, whichever front end runs it: the sites whose
// cookies stay, and the folders and files no item deletes. Stored in the settings store,
// one key per list, one text value per entry in the user's order.
struct KeepLists {
  std::vector<std::string> cookieSites;
  std::vector<std::string> paths;
};

inline constexpr const char* kKeepCookiesKey = "Software\\Hushvault\\Settings\\KeepCookies";
inline constexpr const char* kKeepPathsKey = "Software\\Hushvault\\Settings\\KeepPaths";

// The stored lists; a list never stored is empty.
KeepLists ReadKeepLists();
// Replaces the list stored under key (one of the two above) with entries. Throws
// NumberedError when the store cannot be written.
void WriteKeepList(const std::string& key, const std::vector<std::string>& entries);

// What the user typed as a site whose cookies to keep, as the list holds it: the host name
// in lower case, without a scheme, port, path or leading dot ("https://Mail.Example.org/x"
// gives "mail.example.org"). nullopt when it names no host.
std::optional<std::string> KeptSiteEntry(std::string_view typed);

// What the user typed as a place to keep, as the list holds it: without blanks around it or
// a closing separator. nullopt unless it is a full path once its placeholders (%Cache%)
// are expanded.
std::optional<std::string> KeptPathEntry(std::string_view typed);

// True when host (as a cookie names it, with or without its leading dot) is one of sites
// or lies below one: "example.org" keeps "mail.example.org" but not "notexample.org".
// Host names compare without regard to case.
bool IsKeptSite(std::string_view host, const std::vector<std::string>& sites);

// Fences the kept paths, and, while any cookie site is kept, the browsers' cookie
// databases: deleting one whole would take the kept cookies with it.
void FenceKeptPlaces(const KeepLists& keep, PathFence& fence);

}  // namespace hv
