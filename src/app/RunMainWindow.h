#pragma once

#include <functional>

namespace hv {

class frmMain;

// The program's life after set-up: shows the window, loads it, calls afterLoad (files
// given to the program go in there) and handles events until the window is closed.
// Returns the program's exit code.
int RunMainWindow(frmMain& window, const std::function<void()>& afterLoad = {});

}  // namespace hv
