#include "platform/win32/ShellRecycleBin.h"

#include "platform/win32/WindowsApi.h"
// The shell's headers need the system's types first.
#include <shellapi.h>
#include <shlobj.h>

// Exported by shell32 but missing from the MinGW-w64 headers.
extern "C" __declspec(dllimport) void WINAPI SHUpdateRecycleBinIcon();

namespace hv {

void ShellRecycleBin::EmptyWithConfirmation(UserInterface& /*ui*/) {
  // The active window of this thread is the main window, so the shell's question is
  // modal to it. A refusal or an empty bin is no failure of the caller.
  SHEmptyRecycleBinA(GetActiveWindow(), nullptr, 0);
  SHUpdateRecycleBinIcon();
}

}  // namespace hv
