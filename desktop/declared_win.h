// The declared functions on Windows: one process-wide table of addresses,
// each bound on its first call from whichever thread makes it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "desktop/declared.h"

class DeclaredFunctionTable {
 public:
  // The entry's address, bound now if this is its first use. Never null in
  // the program: a name that cannot be bound ends the process.
  static uintptr_t Get(Declared entry);
};

// An entry as a function of the given type: Bound<decltype(&::PeekMessageA)>(Declared::PeekMessageA).
template <class Function>
Function Bound(Declared entry) {
  return reinterpret_cast<Function>(DeclaredFunctionTable::Get(entry));
}

// The usual case, where the entry's name is the function's own.
#define DECLARED(name) Bound<decltype(&::name)>(Declared::name)

// RtlMoveMemory is only a macro in the headers.
using MoveMemoryFunction = VOID(WINAPI*)(PVOID destination, const VOID* source, SIZE_T length);
