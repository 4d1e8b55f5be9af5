#include "base/bound_functions_win.h"

#include <atomic>
#include <string>

#include "base/process_win.h"
#include "base/system_library_win.h"

namespace {

class SystemDirectoryLibraries : public SystemLibraries {
 public:
  // A full path into the system directory: a library of the same name left
  // beside the program (where users unpack downloads) is never picked up.
  void* Load(const char* library) override {
    std::wstring name;
    for (const char* c = library; *c; ++c) name += static_cast<wchar_t>(*c);  // the names are ASCII
    return LoadSystemLibrary(name.c_str());
  }
  void* Find(void* library, const char* name) override {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
  }
  void Release(void* library) override { FreeLibrary(static_cast<HMODULE>(library)); }
};

// One word per entry, written once it is bound; two threads binding the same
// entry at once store the same address. An optional entry this system lacks
// is marked as such, so that it is looked for only once.
std::atomic<uintptr_t> g_addresses[kBoundCount];
constexpr uintptr_t kMissing = 1;
std::atomic<ProcessControl*> g_failures{nullptr};

}  // namespace

uintptr_t BoundAddress(Bound entry) {
  std::atomic<uintptr_t>& slot = g_addresses[static_cast<int>(entry)];
  uintptr_t address = slot.load(std::memory_order_acquire);
  if (address == 0) {
    SystemDirectoryLibraries system;
    ProcessControl* named = g_failures.load(std::memory_order_acquire);
    Win32Process plain;
    address = reinterpret_cast<uintptr_t>(BindFunction(system, named ? *named : plain, entry).address);
    if (address == 0) address = kMissing;
    slot.store(address, std::memory_order_release);
  }
  return address == kMissing ? 0 : address;
}

void EndBindFailuresThrough(ProcessControl& process) { g_failures.store(&process, std::memory_order_release); }

void ReplaceBound(Bound entry, uintptr_t address) {
  g_addresses[static_cast<int>(entry)].store(address, std::memory_order_release);
}
