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
// only one tried, and its entry is optional. `signature` is the function whose type the entry has; it is only spelled
// out by Win32 code. The first thirty entries are the program's own declared
// table, in its order; CreateThread stands twice there, so that the delay's
// worker and the edge-hiding worker are started through separate entries.
// clang-format off
#define COUNTDOWN_BOUND_FUNCTIONS(X)                                                       \
  X(GetWindowLongA, "GetWindowLongA", kSearch, GetWindowLongA)                             \
  X(SetWindowLongA, "SetWindowLongA", kSearch, SetWindowLongA)                             \
  X(SetLayeredWindowAttributes, "SetLayeredWindowAttributes", kSearch, SetLayeredWindowAttributes) \
  X(GetCurrentThreadId, "GetCurrentThreadId", kSearch, GetCurrentThreadId)                 \
  X(RegisterWindowMessageA, "RegisterWindowMessageA", kSearch, RegisterWindowMessageA)     \
  X(CreateThread, "CreateThread", kSearch, CreateThread)                                   \
  X(CloseHandle, "CloseHandle", kSearch, CloseHandle)                                      \
  X(PeekMessageA, "PeekMessageA", kSearch, PeekMessageA)                                   \
  X(GetMessageA, "GetMessageA", kSearch, GetMessageA)                                      \
  X(TranslateMessage, "TranslateMessage", kSearch, TranslateMessage)                       \
  X(DispatchMessageA, "DispatchMessageA", kSearch, DispatchMessageA)                       \
  X(PostThreadMessageA, "PostThreadMessageA", kSearch, PostThreadMessageA)                 \
  X(MoveMemoryBytes, "RtlMoveMemory", kSearch, MoveMemorySignature)                        \
  X(Sleep, "Sleep", kSearch, Sleep)                                                        \
  X(ShellExecuteA, "ShellExecuteA", kSearch, ShellExecuteA)                                \
  X(IsWindow, "IsWindow", kSearch, IsWindow)                                               \
  X(CreateThreadForAutoHide, "CreateThread", kSearch, CreateThread)                        \
  X(PostMessageA, "PostMessageA", kSearch, PostMessageA)                                   \
  X(GetTickCount, "GetTickCount", kSearch, GetTickCount)                                   \
  X(GetWindowRect, "GetWindowRect", kSearch, GetWindowRect)                                \
  X(MoveWindow, "MoveWindow", kSearch, MoveWindow)                                         \
  X(CreateWaitableTimerA, "CreateWaitableTimerA", kSearch, CreateWaitableTimerA)           \
  X(SetWaitableTimer, "SetWaitableTimer", kSearch, SetWaitableTimer)                       \
  X(MsgWaitForMultipleObjects, "MsgWaitForMultipleObjects", kSearch, MsgWaitForMultipleObjects) \
  X(UnhookWindowsHookEx, "UnhookWindowsHookEx", kSearch, UnhookWindowsHookEx)              \
  X(GetModuleHandleA, "GetModuleHandleA", kSearch, GetModuleHandleA)                       \
  X(SetWindowsHookExA, "SetWindowsHookExA", kSearch, SetWindowsHookExA)                    \
  X(GetCursorPos, "GetCursorPos", kSearch, GetCursorPos)                                   \
  X(EnumDisplaySettingsA, "EnumDisplaySettingsA", kSearch, EnumDisplaySettingsA)           \
  X(CallNextHookEx, "CallNextHookEx", kSearch, CallNextHookEx)                             \
  /* What only some runs need, so that start-up does not pay for its library. */        \
  X(SetDefaultDllDirectories, "SetDefaultDllDirectories", "kernel32.dll", SetDefaultDllDirectories) \
  X(ChooseColorW, "ChooseColorW", "comdlg32.dll", ChooseColorW)                         \
  X(OleLoadPicture, "OleLoadPicture", "oleaut32.dll", OleLoadPicture)                   \
  X(ShellExecuteToOpen, "ShellExecuteA", "shell32.dll", ShellExecuteA)                  \
  X(waveOutGetNumDevs, "waveOutGetNumDevs", "winmm.dll", waveOutGetNumDevs)             \
  X(waveOutOpen, "waveOutOpen", "winmm.dll", waveOutOpen)                               \
  X(waveOutPrepareHeader, "waveOutPrepareHeader", "winmm.dll", waveOutPrepareHeader)    \
  X(waveOutWrite, "waveOutWrite", "winmm.dll", waveOutWrite)                            \
  X(waveOutReset, "waveOutReset", "winmm.dll", waveOutReset)                            \
  X(waveOutUnprepareHeader, "waveOutUnprepareHeader", "winmm.dll", waveOutUnprepareHeader) \
  X(waveOutClose, "waveOutClose", "winmm.dll", waveOutClose)
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
