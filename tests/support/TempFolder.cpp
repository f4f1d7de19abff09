#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

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
  // create_directory fails on a name that exists, so a fresh name is ours alone; this
  // works alike on every system the tests run on.
  std::random_device seed;
  std::mt19937_64 names(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate =
        fs::temp_directory_path() / ("hushvault-test-" + std::to_string(names()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      fs::permissions(candidate, fs::perms::owner_all, fs::perm_options::replace, error);
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
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

std::set<std::string> NamesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

}  // namespace hv::test
