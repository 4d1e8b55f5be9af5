// For the tests that plant libraries: running a program in its own folder,
// and whether a file exists.
#pragma once

#include <windows.h>

#include <string>

namespace planted {

inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Runs a program with its folder as the current one; its exit code, or 999
// when it could not be started.
inline DWORD RunProgram(const std::wstring& exe, const std::wstring& arguments) {
  std::wstring command = L"\"" + exe + L"\" " + arguments;
  const std::wstring dir = exe.substr(0, exe.find_last_of(L'\\'));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &startup, &info)) {
    return 999;
  }
  WaitForSingleObject(info.hProcess, 20000);
  DWORD code = 998;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return code;
}

}  // namespace planted
