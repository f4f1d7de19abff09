#include "InMemoryDocument.h"

#include <stdexcept>

namespace hv::test {

InMemoryDocument& InMemoryDocument::Box(const std::string& key, bool checked) {
  Element element;
  element.id = key;
  element.checked = checked;
  elements.push_back(element);
  return *this;
}

bool InMemoryDocument::IsCheckedByKey(const std::string& key) {
  lookups.push_back(key);
  if (failLookups) {
    throw std::runtime_error("the page did not answer");
  }
  const Element* found = nullptr;
  int count = 0;
  for (const Element& element : elements) {
    if (element.id == key || element.name == key) {
      found = &element;
      ++count;
    }
  }
  // Several elements come back as a collection, which has no checked state.
  return count == 1 && found->checked;
}

int InMemoryDocument::CheckBoxCount() {
  int count = 0;
  for (const Element& element : elements) {
    count += element.tagName == "INPUT" && element.type == "checkbox" ? 1 : 0;
  }
  return count;
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
    if (element.tagName == "INPUT" && element.type == "checkbox" && seen++ == position) {
      return element;
    }
  }
  throw std::out_of_range("no check box at position " + std::to_string(position));
}

}  // namespace hv::test
