#include "base/process_win.h"

#include <windows.h>

#include <cstdlib>

#include "base/encoding_win.h"

void Win32Process::End(int code) {
  if (beforeExit_) beforeExit_(context_);
  std::exit(code);
}

void Win32Process::Exit(int code) { End(code); }

void Win32Process::Fail(std::string_view message, int exitCode) {
  MessageBoxW(nullptr, Wide(message).c_str(), L"错误", MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
  End(exitCode);
}
