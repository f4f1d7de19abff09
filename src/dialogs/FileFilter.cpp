#include "dialogs/FileFilter.h"

namespace hv {

std::string ConvertFilter(const std::string& filter) {
  std::string converted = filter;
  for (char& c : converted) {
    if (c == '|' || c == ':') {
      c = '\0';
    }
  }
  converted.append(2, '\0');
  return converted;
}

std::vector<std::pair<std::string, std::string>> FilterPairs(const std::string& converted) {
  std::string body = converted;
  if (body.ends_with(std::string(2, '\0'))) {
    body.resize(body.size() - 2);
  }
  std::vector<std::string> parts;
  for (std::size_t start = 0; !body.empty();) {
    const std::size_t end = body.find('\0', start);
    parts.push_back(body.substr(start, end - start));
    if (end == std::string::npos) {
      break;
    }
    start = end + 1;
  }
  std::vector<std::pair<std::string, std::string>> pairs;
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    pairs.emplace_back(parts[i], i + 1 < parts.size() ? parts[i + 1] : std::string());
  }
  return pairs;
}

std::string FilterPair(const std::string& converted, long index) {
  const auto pairs = FilterPairs(converted);
  if (index < 1 || static_cast<std::size_t>(index) > pairs.size()) {
    return {};
  }
  const auto& [description, pattern] = pairs[static_cast<std::size_t>(index) - 1];
  return description + '\0' + pattern;
}

}  // namespace hv
