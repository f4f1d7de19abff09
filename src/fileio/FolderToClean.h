#pragma once

#include <optional>
#include <string>

namespace hv {

// Whether a deletion may be given the user's home folder itself.
enum class HomeFolder {
  kRefused,  // a walk below it would reach into everything the user keeps
  kAllowed,  // nothing below it is walked, only the entries directly in it
};

// The folder a deletion was given, resolved (a folder named through a link or ".." is
// judged by where it really is) and ending with a separator; nullopt when there is no such
// folder. Throws NumberedError 5 when path is not a full path or is the root folder, and,
// unless home is allowed, when it is the home folder or a folder above it.
std::optional<std::string> FolderToClean(const std::string& path, HomeFolder home);

}  // namespace hv
