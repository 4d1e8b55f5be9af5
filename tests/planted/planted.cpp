// A library the tests leave beside a program under a system library's name:
// whoever loads it leaves a marker file next to it ("<path>.loaded") naming
// the program that loaded it, so a test can tell that it never was.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    wchar_t path[MAX_PATH + 8], loader[MAX_PATH];
    const DWORD n = GetModuleFileNameW(instance, path, MAX_PATH);
    const DWORD length = GetModuleFileNameW(nullptr, loader, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
      lstrcatW(path, L".loaded");
      const HANDLE marker =
          CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
      if (marker != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(marker, loader, length * sizeof(wchar_t), &written, nullptr);
        WriteFile(marker, L"\n", sizeof(wchar_t), &written, nullptr);
        CloseHandle(marker);
      }
    }
  }
  return TRUE;
}
