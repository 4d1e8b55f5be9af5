// The links' system side: the shell, the registry's web-page command and WinExec.
#pragma once

#include "ui/links.h"

namespace ui {

class Win32LinkShell : public LinkShell {
 public:
  intptr_t Open(std::string_view target) override;
  std::optional<std::string> ClassesRootDefault(std::string_view key) override;
  uint32_t Run(std::string_view commandLine) override;
};

}  // namespace ui
