#include "InMemoryDocument.h"

#include <algorithm>
#include <stdexcept>

namespace hv::test {
namespace {

bool IsCheckBox(const InMemoryDocument::Element& element) {
  return element.tagName == "INPUT" && element.type == "checkbox";
}

}  // namespace

InMemoryDocument& InMemoryDocument::Box(const std::string& key, bool checked) {
  elements.push_back({"INPUT", "checkbox", key, "", checked});
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
  return static_cast<int>(std::count_if(elements.begin(), elements.end(), IsCheckBox));
}

bool InMemoryDocument::CheckBoxState(int position) {
  return CheckBoxAt(position).checked;
}

void InMemoryDocument::ClickCheckBox(int position) {
  clicks.push_back(position);
  Element& box = CheckBoxAt(position);
  box.checked = !box.checked;
}

InMemoryDocument::Element& InMemoryDocument::CheckBoxAt(int position) {
  int seen = 0;
  for (Element& element : elements) {
    if (IsCheckBox(element) && seen++ == position) {
      return element;
    }
  }
  throw std::out_of_range("no check box at position " + std::to_string(position));
}

}  // namespace hv::test
