# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers. The posix threading
# flavour carries the whole C++ thread library; everything links statically so that the
# programs run under Wine without any DLL beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HUSHVAULT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${HUSHVAULT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HUSHVAULT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${HUSHVAULT_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${HUSHVAULT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run through Wine; Debian's wine64 package keeps its loader out of PATH.
find_program(HUSHVAULT_WINE64 NAMES wine64 PATHS /usr/lib/wine)
if(HUSHVAULT_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${HUSHVAULT_WINE64})
endif()
