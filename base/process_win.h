// Ending the process on Windows.
#pragma once

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>

#include "base/handles_win.h"
#include "base/process.h"

class Win32Process final : public ProcessControl {
 public:
  // The program's end runs on the thread that gives it (the user-interface
  // thread), never beside that thread's routines: Exit or Fail called on any
  // other thread (a worker that cannot bind a system function) hands the end
  // over to it and ends the calling thread there and then.
  void AtEnd(void (*routine)(void* context), void* context) override;
  [[noreturn]] void Exit(int code) override;
  [[noreturn]] void Fail(std::string_view message, int exitCode) override;

 private:
  // With a message, the user is told it first.
  [[noreturn]] void End(std::optional<std::string_view> message, int code);
  static LRESULT CALLBACK HandOverProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

  DWORD thread_ = 0;
  OwnedWindow handOver_;  // on that thread: whatever loop runs there serves it
  std::atomic<bool> ending_{false};
  // The first end asked for on another thread, written before it is posted.
  std::optional<std::string> message_;
  int code_ = 0;
};
