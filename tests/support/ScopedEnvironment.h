#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "EnvironmentVariable.h"

namespace hv::test {

// Changes environment variables for one test; each is restored (or removed again) when
// the object goes, last change first.
class ScopedEnvironment {
 public:
  ScopedEnvironment() = default;
  ~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      Apply(it->first, it->second);
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  void Set(const std::string& name, const std::string& value) { Change(name, value); }
  void Unset(const std::string& name) { Change(name, std::nullopt); }

 private:
  void Change(const std::string& name, const std::optional<std::string>& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old == nullptr ? std::nullopt : std::optional<std::string>(old));
    Apply(name, value);
  }
  static void Apply(const std::string& name, const std::optional<std::string>& value) {
    if (value) {
      SetVariable(name.c_str(), *value);
    } else {
      UnsetVariable(name.c_str());
    }
  }

  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace hv::test
