#pragma once

namespace hv {

class SelectionDocument;

// Makes the box at position show state: it is clicked, as a user would, only when its
// state differs, so that an unchanged box receives no click.
void MakeCheckBox(SelectionDocument& document, int position, bool state);

// Makes every check box of the page show state.
void SetAllCheckboxes(SelectionDocument& document, bool state);

}  // namespace hv
