// The bound system functions as typed Win32 functions: Sys<Bound::Sleep>()(100).
// Each entry's address is one process-wide word, bound on its first call from
// whichever thread makes it.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <mmsystem.h>
#include <olectl.h>
#include <shellapi.h>

#include <cstdint>

#include "base/bound_functions.h"

// RtlMoveMemory is only a macro in the headers; this gives its entry a type.
VOID WINAPI MoveMemorySignature(PVOID destination, const VOID* source, SIZE_T length);

// The entry's address, bound now if this is its first use; null only for an
// optional entry that this system lacks.
uintptr_t BoundAddress(Bound entry);

// The process control that a failed binding ends the process through, on
// whichever thread it happens: the program's own, so that the program's end
// runs. Until one is named, a plain one (no end of the program's to run).
void EndBindFailuresThrough(ProcessControl& process);

// For the tests: the entry calls this address from now on instead of the
// system's (a system that refuses, say); 0 binds it afresh on its next use.
void ReplaceBound(Bound entry, uintptr_t address);

template <Bound entry>
struct BoundType;
#define COUNTDOWN_TYPE(entry, name, library, signature) \
  template <>                                           \
  struct BoundType<Bound::entry> {                      \
    using type = decltype(&::signature);                \
  };
COUNTDOWN_BOUND_FUNCTIONS(COUNTDOWN_TYPE)
#undef COUNTDOWN_TYPE

template <Bound entry>
typename BoundType<entry>::type Sys() {
  return reinterpret_cast<typename BoundType<entry>::type>(BoundAddress(entry));
}
