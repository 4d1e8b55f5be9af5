// Ending the process, and telling the user first when it cannot go on.
#pragma once

#include <string_view>

class ProcessControl {
 public:
  virtual ~ProcessControl() = default;
  virtual void Exit(int code) = 0;  // does not return in the real program
  // Tells the user why the program cannot go on (a message box with the
  // caption "错误" and the error icon), then ends it with the exit code.
  virtual void Fail(std::string_view message, int exitCode) = 0;
};
