#pragma once

#include <cstdlib>
#include <string>

namespace hv::test {

// Sets a variable of this process's environment, on every system the tests run on. On
// Windows an empty value removes the variable, as the system keeps no empty ones.
inline void SetVariable(const char* name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

inline void UnsetVariable(const char* name) {
#ifdef _WIN32
  _putenv_s(name, "");
#else
  unsetenv(name);
#endif
}

}  // namespace hv::test
