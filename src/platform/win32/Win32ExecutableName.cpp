#include "platform/win32/WindowsApi.h"

#include <string>
#include <vector>

#include "platform/ExecutableName.h"

namespace hv {

namespace {

std::string ModulePath() {
  std::vector<char> path(MAX_PATH);
  DWORD length = 0;
  // A path longer than the buffer is cut and reported at the buffer's full size.
  while ((length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
             path.size() &&
         path.size() < 32768) {
    path.resize(path.size() * 2);
  }
  return std::string(path.data(), length);
}

}  // namespace

std::string ExecutableName() {
  std::string name = ModulePath();
  const size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) {
    name.erase(0, slash + 1);
  }
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) {
    name.erase(dot);
  }
  return name;
}

std::string ExecutableFolder() {
  std::string path = ModulePath();
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace hv
