#pragma once

#include "base/process.h"

class Win32Process : public ProcessControl {
 public:
  void Exit(int code) override;
  void Fail(std::string_view message, int exitCode) override;
};
