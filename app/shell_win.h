// The shell's ShellExecuteA, through the bound functions.
#pragma once

#include "app/services.h"

class Win32Shell : public Shell {
 public:
  intptr_t Execute(std::string_view operation, std::string_view file, std::string_view parameters,
                   std::string_view directory, int show) override;
};
