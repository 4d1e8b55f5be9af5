// The Win32 functions the program's own routines call by name: a table bound
// on first use, each entry by searching a fixed list of system libraries, so
// that the program starts on a system lacking one of them and fails (with a
// message) only when that function is first needed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class ProcessControl;

// The entries, in the order of the table. CreateThread stands twice: the
// delay's worker and the edge-hiding worker are started through separate entries.
enum class Declared : uint8_t {
  GetWindowLongA, SetWindowLongA, SetLayeredWindowAttributes, GetCurrentThreadId, RegisterWindowMessageA,
  CreateThread, CloseHandle, PeekMessageA, GetMessageA, TranslateMessage,
  DispatchMessageA, PostThreadMessageA, RtlMoveMemory, Sleep, ShellExecuteA,
  IsWindow, CreateThreadForAutoHide, PostMessageA, GetTickCount, GetWindowRect,
  MoveWindow, CreateWaitableTimerA, SetWaitableTimer, MsgWaitForMultipleObjects, UnhookWindowsHookEx,
  GetModuleHandleA, SetWindowsHookExA, GetCursorPos, EnumDisplaySettingsA, CallNextHookEx,
};
inline constexpr int kDeclaredCount = 30;

// The exported name an entry is bound to.
const char* DeclaredName(Declared entry);

// Searched in this order; the first that exports the name supplies it.
inline constexpr const char* kDeclaredLibraries[] = {"Kernel32.dll", "Gdi32.dll",    "User32.dll",
                                                     "Advapi32.dll", "Mpr.dll",      "Shell32.dll"};

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

// Binds one name: the first library of the list that exports it supplies it
// and stays loaded; a library loaded in vain is released before the next one
// is tried. When none has it, the user is told and the process ends with
// exit code -1 (an empty result is only seen by a test's process double).
BoundFunction BindDeclared(SystemLibraries& system, ProcessControl& process, std::string_view name);

// What the user is told when a name cannot be bound.
std::string DeclaredFailureText(std::string_view name);
