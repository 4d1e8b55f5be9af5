#pragma once

#include "base/process.h"

class Win32Process : public ProcessControl {
 public:
  // What runs before Exit or Fail ends the process: the program's own end.
  void BeforeExit(void (*routine)(void* context), void* context) {
    beforeExit_ = routine;
    context_ = context;
  }
  void Exit(int code) override;
  void Fail(std::string_view message, int exitCode) override;

 private:
  [[noreturn]] void End(int code);

  void (*beforeExit_)(void*) = nullptr;
  void* context_ = nullptr;
};
