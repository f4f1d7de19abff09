#pragma once

// The system's API without the macros that clash with the program's own names: the
// file-system service has a DeleteFile member, path expansion an ExpandEnvironmentStrings
// function, and min/max are the standard library's.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef DeleteFile
#undef ExpandEnvironmentStrings
