#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hv {

// Folders and files that a deletion must leave alone, each with the reason the report
// gives. A fenced folder is not entered, and nothing below it is touched. Paths are
// compared by their resolved form, so a place named through a link is fenced where it
// really is.
class PathFence {
 public:
  // Fences path (a folder or a file); an empty path fences nothing.
  void Add(const std::string& path, const std::string& reason);
  // Fences every entry directly in folder whose name matches pattern (hv::MatchesPattern).
  void AddMatching(const std::string& folder, const std::string& pattern,
                   const std::string& reason);
  // Fences every file of that name wherever it lies.
  void AddFileName(const std::string& name, const std::string& reason);

  // Why path (resolved, without a closing separator) must stay: it is fenced or lies in a
  // fenced folder. nullptr when nothing fences it.
  const std::string* ReasonFor(std::string_view path) const;
  // Why a file of that name must stay wherever it lies; nullptr when nothing fences it.
  const std::string* ReasonForFileName(std::string_view name) const;

  bool Empty() const { return places_.empty() && fileNames_.empty(); }

 private:
  struct Place {
    std::string folder;  // resolved, without a closing separator
    std::string name;    // one component in folder
    bool pattern = false;
    std::string reason;
  };
  struct FileName {
    std::string name;
    std::string reason;
  };

  std::vector<Place> places_;
  std::vector<FileName> fileNames_;
};

}  // namespace hv
