#pragma once

#include <string>

namespace hv {

// Lets the user pick one of the ';'-separated entries of list in the modal frmChoose,
// with prompt above the list. The chosen entry, or the empty text when the dialog was
// cancelled, closed, or confirmed with nothing selected.
// A list without ';' is returned as it is and nothing is shown: a single entry counts as
// chosen, and the empty list gives the empty text. This rule lives here only; callers
// pass every list through.
std::string ChooseFromList(const std::string& prompt, const std::string& list);

}  // namespace hv
