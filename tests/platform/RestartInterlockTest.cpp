#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/posix/LogindRestart.h"

namespace hv {
namespace {

// Whatever the variable holds, its presence alone refuses the restart.
TEST(RestartInterlock, RefusedWheneverTheVariableIsSet) {
  for (const char* value : {"1", "", "0", "no"}) {
    setenv(kNoRestartVariable, value, 1);
    LogindRestart restart;
    EXPECT_FALSE(restart.RequestRestart()) << "HUSHVAULT_NO_RESTART='" << value << "'";
  }
  setenv(kNoRestartVariable, "1", 1);
}

}  // namespace
}  // namespace hv
