// Program entry: the records, the main window, and the message loop.
#include <windows.h>
#include <objbase.h>

#include <cstddef>
#include <cstdlib>

#include "app/bindings.h"
#include "app/delay_win.h"
#include "app/input_box_win.h"
#include "app/lifetime.h"
#include "app/program.h"
#include "app/shell_win.h"
#include "app/sound_win.h"
#include "base/bound_functions_win.h"
#include "base/process_win.h"
#include "base/system_library_win.h"
#include "desktop/desktop_win.h"
#include "settings/settings_file_win.h"
#include "ui/backend_win.h"
#include "ui/links_win.h"

namespace {

// Libraries that system libraries load on our behalf come from the system
// directory only, never from the program's own folder, where anyone may have
// left a winmm.dll or msimg32.dll. Bound at run time: Windows 7 has it only
// with an update; without it, at least the current directory goes.
void SearchSystemDirectoryOnly() {
  const auto set = Sys<Bound::SetDefaultDllDirectories>();
  if (set == nullptr || !set(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
  // Some loaders look a library up along the process's own path whatever the
  // default is (Wine's, when its theming code first draws with msimg32):
  // loaded from the system directory now, it is the one they find.
  LoadSystemLibrary(L"msimg32.dll");
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  SearchSystemDirectoryOnly();
  // The shell may hand a link or the web site to a COM handler on this
  // thread, which it can only do in a single-threaded apartment; without one
  // ShellExecute fails for some handlers. Never uninitialised: the process
  // ends with it.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  // These live until the process ends and are never destroyed: the close
  // command ends the process from inside an event, with windows still alive.
  auto* backend = new ui::Win32Backend(instance);
  auto* facility = new ui::Facility(*backend);
  backend->Attach(*facility);
  facility->SetLinkShell(new ui::Win32LinkShell);
  auto* process = new Win32Process;
  EndBindFailuresThrough(*process);  // a function missing from the system ends the program as any end does
  auto* program =
      new Program(*facility,
                  Services{*new FileSettingsStore(*new ExecutableFolder, *new Win32Gbk), *new Win32Sound,
                           *new Win32Delay, *new Win32InputBox(instance), *new Win32Shell, *process, *new Win32Desktop},
                  kProgramWindows);
  StartProgram(*program);
  process->Exit(backend->RunMessageLoop());
}

// The program is built without exceptions: it has nothing to recover from an
// out-of-memory or a library precondition failure, so these end the process
// instead of throwing. This keeps the unwinder, the exception runtime and the
// thread library they drag in out of the executable (well over 100 KiB).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"  // these are the matching pair
void* operator new(std::size_t size) {
  if (void* p = std::malloc(size ? size : 1)) return p;
  std::abort();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace std {
[[noreturn]] void __throw_bad_alloc() { std::abort(); }
[[noreturn]] void __throw_bad_array_new_length() { std::abort(); }
[[noreturn]] void __throw_length_error(const char*) { std::abort(); }
[[noreturn]] void __throw_logic_error(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
[[noreturn]] void __throw_invalid_argument(const char*) { std::abort(); }
}  // namespace std
