// The module that holds this code.
#pragma once

#include <windows.h>

// The DLL in the host; the executable when a test links the library
// statically (which carries none of the DLL's resources).
HINSTANCE ThisModule();
