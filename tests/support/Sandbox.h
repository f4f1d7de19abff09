#pragma once

#include <filesystem>

namespace hv::test {

// Points home, the XDG folders and the registry hive into root and refuses restarts, so
// that nothing a test does can reach the real ones.
void EnterSandbox(const std::filesystem::path& root);

}  // namespace hv::test
