#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace hv::test {
namespace fs = std::filesystem;

namespace {

// Gives back the owner's rights everywhere below, so that removal cannot fail on a
// folder a test made read-only.
void MakeWritable(const fs::path& root) {
  std::error_code error;
  fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, error);
  if (!fs::is_directory(fs::symlink_status(root, error))) {
    return;
  }
  for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
    if (fs::is_directory(it->symlink_status(error))) {
      MakeWritable(it->path());
    }
  }
}

}  // namespace

TempFolder::TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "hushvault-test-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) {
    throw std::runtime_error("cannot make a temporary folder");
  }
  path_ = buffer.data();
}

TempFolder::~TempFolder() {
  std::error_code error;
  MakeWritable(path_);
  fs::remove_all(path_, error);
}

fs::path TempFolder::Write(const std::string& relative, const std::string& content) const {
  const fs::path file = path_ / relative;
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << content;
  return file;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace hv::test
