#include <gtest/gtest.h>

#include "EnvironmentVariable.h"
#include "platform/PlatformServices.h"

namespace hv {
namespace {

// Whatever the variable holds, its presence alone refuses the restart of the system the
// program was built for. (Windows keeps no empty variables, so "" only runs elsewhere.)
TEST(RestartInterlock, RefusedWheneverTheVariableIsSet) {
  for (const char* value : {"", "0"}) {
#ifdef _WIN32
    if (*value == '\0') {
      continue;
    }
#endif
    test::SetVariable(kNoRestartVariable, value);
    const PlatformServices services = MakePlatformServices();
    EXPECT_FALSE(services.restart->RequestRestart()) << "HUSHVAULT_NO_RESTART='" << value << "'";
  }
  test::SetVariable(kNoRestartVariable, "1");
}

}  // namespace
}  // namespace hv
