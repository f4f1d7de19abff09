#include "util/NumberedError.h"

#include <utility>

namespace hv {

NumberedError::NumberedError(long number, std::string source, std::string description)
    : std::runtime_error(description),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

}  // namespace hv
