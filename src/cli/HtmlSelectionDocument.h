#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "ports/SelectionDocument.h"

namespace hv::cli {

// A selection page read from its HTML file, without a browser: its check boxes and their
// initial states as the markup gives them. The page's scripts are not run, so a click only
// turns its own box over.
class HtmlSelectionDocument : public SelectionDocument {
 public:
  // Throws std::runtime_error naming the file when it cannot be read.
  explicit HtmlSelectionDocument(const std::string& path);

  bool IsCheckedByKey(const std::string& key) override;
  int CheckBoxCount() override;
  bool CheckBoxState(int position) override;
  void ClickCheckBox(int position) override;

  // The position of the one check box whose id or name is key; -1 when there is none or
  // the key names several elements.
  int CheckBoxPosition(const std::string& key) const;

  // The id (or, without one, the name) of the box at position.
  const std::string& CheckBoxKey(int position) const;

 private:
  struct Element {
    int checkBox = -1;  // its position among the check boxes; -1 for any other element
  };
  struct CheckBox {
    std::string key;
    bool checked = false;
  };

  void Add(const std::string& id, const std::string& name, bool isCheckBox, bool checked);
  const Element* OnlyElement(const std::string& key) const;

  std::vector<Element> elements_;
  std::vector<CheckBox> boxes_;
  std::unordered_map<std::string, std::vector<size_t>> byKey_;  // id or name -> elements
};

}  // namespace hv::cli
