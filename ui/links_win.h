// The links' system side: the shell, the registry's web-page command and
// WinExec, and how a link follows the mouse.
#pragma once

#include <windows.h>

#include "ui/links.h"
#include "ui/native_win.h"

namespace ui {

class Win32LinkShell : public LinkShell {
 public:
  intptr_t Open(std::string_view target) override;
  std::optional<std::string> ClassesRootDefault(std::string_view key) override;
  uint32_t Run(std::string_view commandLine) override;
};

// A link's mouse messages: it lights up while the cursor is on it, and a
// press and release both on it open it. True when the message has been dealt with.
bool LinkMouse(NativeControl& nc, UINT msg, LPARAM lp);

}  // namespace ui
