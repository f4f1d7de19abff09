#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace hv::test {

// A fresh folder below the system's temporary folder, removed with everything in it
// (read-only folders included) when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  // Writes a file (creating its folders) and returns its path.
  std::filesystem::path Write(const std::string& relative, const std::string& content) const;

 private:
  std::filesystem::path path_;
};

// Reads a whole file as bytes.
std::string ReadFile(const std::filesystem::path& path);

// The names of the entries of a folder.
std::set<std::string> NamesIn(const std::filesystem::path& folder);

}  // namespace hv::test
