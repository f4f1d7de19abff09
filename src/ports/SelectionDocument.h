#pragma once

#include <string>

namespace hv {

// What the engine needs of the selection page currently shown. The window answers from
// the live page; engine tests use an in-memory document. Any method may throw when the
// page cannot be asked.
class SelectionDocument {
 public:
  virtual ~SelectionDocument() = default;

  // True only when exactly one element has this id or name and it is checked: a miss or
  // several elements count as not checked.
  virtual bool IsCheckedByKey(const std::string& key) = 0;

  // The check boxes (INPUT elements of type checkbox) in document order.
  virtual int CheckBoxCount() = 0;
  virtual bool CheckBoxState(int position) = 0;

  // Clicks the box as a user would, running the page's own click handling.
  virtual void ClickCheckBox(int position) = 0;
};

}  // namespace hv
