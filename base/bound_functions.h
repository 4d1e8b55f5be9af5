// Every system function the program binds at run time instead of importing:
// each is bound on its first use from a library in the system folder, and if
// it cannot be, the user is told and the process ends (an optional one, kept
// for what only some runs need, comes back null instead).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class ProcessControl;

// The library column's value for the searched entries.
inline constexpr const char* kSearch = nullptr;

// X(entry, exported name, library, signature). The library kSearch means the
// first of kSearchedLibraries that exports the name; any other library is the
// only one tried, and its entry is optional. `signature` is the function whose
// type the entry has; only Win32 code spells it out. Most entries are
// COUNTDOWN_SAME(X, name, library): their own name's export, of that type.
// The first thirty entries are the program's own declared table, in its
// order; CreateThread stands twice there, so that the delay's worker and the
// edge-hiding worker are started through separate entries.
#define COUNTDOWN_SAME(X, name, library) X(name, #name, library, name)
// clang-format off
#define COUNTDOWN_BOUND_FUNCTIONS(X)                                             \
  COUNTDOWN_SAME(X, GetWindowLongA, kSearch)                                     \
  COUNTDOWN_SAME(X, SetWindowLongA, kSearch)                                     \
  COUNTDOWN_SAME(X, SetLayeredWindowAttributes, kSearch)                         \
  COUNTDOWN_SAME(X, GetCurrentThreadId, kSearch)                                 \
  COUNTDOWN_SAME(X, RegisterWindowMessageA, kSearch)                             \
  COUNTDOWN_SAME(X, CreateThread, kSearch)                                       \
  COUNTDOWN_SAME(X, CloseHandle, kSearch)                                        \
  COUNTDOWN_SAME(X, PeekMessageA, kSearch)                                       \
  COUNTDOWN_SAME(X, GetMessageA, kSearch)                                        \
  COUNTDOWN_SAME(X, TranslateMessage, kSearch)                                   \
  COUNTDOWN_SAME(X, DispatchMessageA, kSearch)                                   \
  COUNTDOWN_SAME(X, PostThreadMessageA, kSearch)                                 \
  X(MoveMemoryBytes, "RtlMoveMemory", kSearch, MoveMemorySignature)              \
  COUNTDOWN_SAME(X, Sleep, kSearch)                                              \
  COUNTDOWN_SAME(X, ShellExecuteA, kSearch)                                      \
  COUNTDOWN_SAME(X, IsWindow, kSearch)                                           \
  X(CreateThreadForAutoHide, "CreateThread", kSearch, CreateThread)              \
  COUNTDOWN_SAME(X, PostMessageA, kSearch)                                       \
  COUNTDOWN_SAME(X, GetTickCount, kSearch)                                       \
  COUNTDOWN_SAME(X, GetWindowRect, kSearch)                                      \
  COUNTDOWN_SAME(X, MoveWindow, kSearch)                                         \
  COUNTDOWN_SAME(X, CreateWaitableTimerA, kSearch)                               \
  COUNTDOWN_SAME(X, SetWaitableTimer, kSearch)                                   \
  COUNTDOWN_SAME(X, MsgWaitForMultipleObjects, kSearch)                          \
  COUNTDOWN_SAME(X, UnhookWindowsHookEx, kSearch)                                \
  COUNTDOWN_SAME(X, GetModuleHandleA, kSearch)                                   \
  COUNTDOWN_SAME(X, SetWindowsHookExA, kSearch)                                  \
  COUNTDOWN_SAME(X, GetCursorPos, kSearch)                                       \
  COUNTDOWN_SAME(X, EnumDisplaySettingsA, kSearch)                               \
  COUNTDOWN_SAME(X, CallNextHookEx, kSearch)                                     \
  /* What only some runs need, so that start-up does not pay for its library. */ \
  COUNTDOWN_SAME(X, SetDefaultDllDirectories, "kernel32.dll")                    \
  COUNTDOWN_SAME(X, ChooseColorW, "comdlg32.dll")                                \
  COUNTDOWN_SAME(X, OleLoadPicture, "oleaut32.dll")                              \
  X(ShellExecuteToOpen, "ShellExecuteA", "shell32.dll", ShellExecuteA)           \
  COUNTDOWN_SAME(X, waveOutGetNumDevs, "winmm.dll")                              \
  COUNTDOWN_SAME(X, waveOutOpen, "winmm.dll")                                    \
  COUNTDOWN_SAME(X, waveOutPrepareHeader, "winmm.dll")                           \
  COUNTDOWN_SAME(X, waveOutWrite, "winmm.dll")                                   \
  COUNTDOWN_SAME(X, waveOutReset, "winmm.dll")                                   \
  COUNTDOWN_SAME(X, waveOutUnprepareHeader, "winmm.dll")                         \
  COUNTDOWN_SAME(X, waveOutClose, "winmm.dll")
// clang-format on

enum class Bound : uint8_t {
#define COUNTDOWN_ENTRY(entry, name, where, signature) entry,
  COUNTDOWN_BOUND_FUNCTIONS(COUNTDOWN_ENTRY)
#undef COUNTDOWN_ENTRY
};
#define COUNTDOWN_ONE(entry, name, where, signature) +1
inline constexpr int kBoundCount = 0 COUNTDOWN_BOUND_FUNCTIONS(COUNTDOWN_ONE);
#undef COUNTDOWN_ONE
// The declared table proper: the entries before SetDefaultDllDirectories.
inline constexpr int kDeclaredCount = static_cast<int>(Bound::SetDefaultDllDirectories);

// The exported name an entry is bound to, and its library (kSearch or one).
const char* BoundName(Bound entry);
const char* BoundLibrary(Bound entry);

// kSearch tries these in this order; the first that exports the name supplies it.
inline constexpr const char* kSearchedLibraries[] = {"Kernel32.dll", "Gdi32.dll", "User32.dll",
                                                     "Advapi32.dll", "Mpr.dll",   "Shell32.dll"};

// What binding needs from the system.
class SystemLibraries {
 public:
  virtual ~SystemLibraries() = default;
  // Loads a library from the system directory only, never from the program's
  // folder; null when it cannot be loaded.
  virtual void* Load(const char* library) = 0;
  virtual void* Find(void* library, const char* name) = 0;
  virtual void Release(void* library) = 0;
};

struct BoundFunction {
  void* address = nullptr;
  void* library = nullptr;  // stays loaded for the rest of the process
};

// Binds one entry. kSearch: the first library of the list that exports the
// name supplies it and stays loaded; a library loaded in vain is released
// before the next one is tried; when none has it, the user is told and the
// process ends with exit code -1 (an empty result is only seen by a test's
// process double). An optional entry of a library of its own comes back
// empty when either is missing.
BoundFunction BindFunction(SystemLibraries& system, ProcessControl& process, Bound entry);

// What the user is told when a name cannot be bound.
std::string BindFailureText(std::string_view name);
