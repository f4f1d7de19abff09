#pragma once

#include <stdexcept>
#include <string>

namespace hv {

// The program's numbered error: a number, the source that raised it and a description.
// Classes raise it; the callers the user sees decide how to react.
class NumberedError : public std::runtime_error {
 public:
  NumberedError(long number, std::string source, std::string description);

  long Number() const { return number_; }
  const std::string& Source() const { return source_; }
  const std::string& Description() const { return description_; }

 private:
  long number_;
  std::string source_;
  std::string description_;
};

}  // namespace hv
