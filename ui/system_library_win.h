// System libraries loaded when first needed, and only from the system
// directory.
#pragma once

#include <windows.h>

// Loads a library by its full path in the system directory, never from the
// program's folder, where anyone may have left a file of that name.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A function of a system library loaded that way (it stays loaded); null when
// either cannot be had. For what only some runs need, so that start-up does
// not pay for the library and everything it brings in.
template <class Function>
Function SystemFunction(const wchar_t* library, const char* name) {
  const HMODULE module = LoadSystemLibrary(library);
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}
