#pragma once

#include <iosfwd>

namespace hv::cli {

// The window's two run settings as the settings store holds them, so that a run from the
// command line behaves as one from the window.
struct StoredSettings {
  bool wipe = true;  // "Wipe files on Application/Web Cleanup"
  bool warn = true;  // "Warn the user if sensitive data is about to be cleaned"
};

StoredSettings ReadStoredSettings();

// Opens the settings store and, when it was damaged and a new one started in its place,
// says so on err, as the window does at its start.
void TellOfMovedStore(std::ostream& err);

}  // namespace hv::cli
