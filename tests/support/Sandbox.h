#pragma once

#include <filesystem>

namespace hv::test {

// Points home, the XDG folders and the registry hive into root (on Windows, redirects the
// current user's registry keys) and refuses restarts, so that nothing a test does can reach
// the real ones.
void EnterSandbox(const std::filesystem::path& root);

#ifdef _WIN32
// Deletes every key and value below the sandbox's HKEY_CURRENT_USER and
// HKEY_CLASSES_ROOT, through the sandbox's own handles, so never the user's.
void EmptySandboxRegistry();
#endif

}  // namespace hv::test
