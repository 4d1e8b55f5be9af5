// Ending the process, and telling the user first when it cannot go on.
#pragma once

#include <atomic>
#include <string_view>

class ProcessControl {
 public:
  virtual ~ProcessControl() = default;
  // The program's own end, which Exit and Fail run before the process goes,
  // however it goes; once only, even when the end itself ends the process.
  virtual void AtEnd(void (*routine)(void* context), void* context) {
    context_ = context;
    end_ = routine;
  }
  virtual void Exit(int code) = 0;  // does not return in the real program
  // Tells the user why the program cannot go on (a message box with the
  // caption "错误" and the error icon), then ends it with the exit code. The
  // program's end runs first: nothing of the program goes on behind the box.
  virtual void Fail(std::string_view message, int exitCode) = 0;

 protected:
  void RunEnd() {
    if (const auto routine = end_.exchange(nullptr)) routine(context_);
  }

 private:
  std::atomic<void (*)(void*)> end_{nullptr};
  void* context_ = nullptr;
};
