// System libraries loaded when first needed, and only from the system
// directory.
#pragma once

#include <windows.h>

// Loads a library by its full path in the system directory, never from the
// program's folder, where anyone may have left a file of that name.
HMODULE LoadSystemLibrary(const wchar_t* name);
