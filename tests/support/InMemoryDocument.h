#pragma once

#include <string>
#include <vector>

#include "ports/SelectionDocument.h"

namespace hv::test {

// A selection page held in memory: check boxes in document order, each with an id, a name
// and a checked state.
class InMemoryDocument : public SelectionDocument {
 public:
  struct Element {
    std::string id;
    std::string name;
    bool checked = false;
  };

  std::vector<Element> elements;
  std::vector<std::string> lookups;  // every key asked for, in order
  std::vector<int> clicks;           // positions clicked, in order
  bool failLookups = false;          // every lookup throws, like a page that cannot answer

  // Adds a check box whose id is key.
  InMemoryDocument& Box(const std::string& key, bool checked);

  bool IsCheckedByKey(const std::string& key) override;
  int CheckBoxCount() override;
  bool CheckBoxState(int position) override;
  void ClickCheckBox(int position) override;
};

}  // namespace hv::test
