#include "base/system_library_win.h"

#include <string>

HMODULE LoadSystemLibrary(const wchar_t* name) {
  wchar_t directory[MAX_PATH];
  const UINT n = GetSystemDirectoryW(directory, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(directory, n) + L"\\" + name;
  // Most are loaded already (kernel32, user32, gdi32): one more reference to
  // the module loaded from that very path, without opening the file again.
  HMODULE loaded = nullptr;
  if (GetModuleHandleExW(0, path.c_str(), &loaded)) return loaded;
  return LoadLibraryExW(path.c_str(), nullptr, 0);
}
