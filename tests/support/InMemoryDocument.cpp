#include "InMemoryDocument.h"

#include <algorithm>
#include <stdexcept>

namespace hv::test {

InMemoryDocument& InMemoryDocument::Box(const std::string& key, bool checked) {
  elements.push_back({key, "", checked});
  return *this;
}

bool InMemoryDocument::IsCheckedByKey(const std::string& key) {
  lookups.push_back(key);
  if (failLookups) {
    throw std::runtime_error("the page did not answer");
  }
  const auto matches = [&](const Element& element) {
    return element.id == key || element.name == key;
  };
  const auto found = std::find_if(elements.begin(), elements.end(), matches);
  // Several elements come back as a collection, which has no checked state.
  return std::count_if(elements.begin(), elements.end(), matches) == 1 && found->checked;
}

int InMemoryDocument::CheckBoxCount() {
  return static_cast<int>(elements.size());
}

bool InMemoryDocument::CheckBoxState(int position) {
  return elements.at(position).checked;
}

void InMemoryDocument::ClickCheckBox(int position) {
  clicks.push_back(position);
  Element& box = elements.at(position);
  box.checked = !box.checked;
}

}  // namespace hv::test
