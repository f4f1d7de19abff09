#pragma once

namespace hv {

class frmMain;

// The program's life after set-up: shows the window, loads it and handles events until
// the window is closed. Returns the program's exit code.
int RunMainWindow(frmMain& window);

}  // namespace hv
