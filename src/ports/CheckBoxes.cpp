#include "ports/CheckBoxes.h"

#include "ports/SelectionDocument.h"

namespace hv {

void MakeCheckBox(SelectionDocument& document, int position, bool state) {
  if (document.CheckBoxState(position) != state) {
    document.ClickCheckBox(position);
  }
}

void SetAllCheckboxes(SelectionDocument& document, bool state) {
  const int count = document.CheckBoxCount();
  for (int position = 0; position < count; ++position) {
    MakeCheckBox(document, position, state);
  }
}

}  // namespace hv
