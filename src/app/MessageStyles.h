#pragma once

#include <QMessageBox>

namespace hv {

// What a message-box style code asks for: its icon and its buttons.
QMessageBox::Icon MessageIcon(int style);
QMessageBox::StandardButtons MessageButtons(int style);

// The answer code of the button the user pressed (Escape or closing answers as the
// box's cancelling button would).
int MessageAnswerOf(QMessageBox::StandardButton button);

}  // namespace hv
