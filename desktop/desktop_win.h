// The desktop service on Windows: layered-window alpha, and edge hiding by a
// worker thread with a low-level mouse hook that tells it when the left button
// is held and when the mouse moves.
#pragma once

#include <windows.h>

#include "desktop/desktop.h"

// Edge hiding's switch, worked from the user-interface thread: it starts the
// one worker and the hook's own thread, tells the latter when to install or
// remove the hook, and hands requests to the worker.
class AutoHideController {
 public:
  AutoHideController();
  // A null window switches edge hiding off.
  void SetAutoHide(HWND window, int32_t margin);
  void BringBackFromEdge(HWND window);
  void End();
  // What it shares with its threads, for a look from outside.
  const AutoHideState& State() const;
};

class Win32Desktop : public Desktop {
 public:
  void SetWindowAlpha(ui::Window& window, uint8_t alpha) override;
  void SetAutoHide(ui::Window* window, int32_t margin) override;
  void BringBackFromEdge(ui::Window& window) override;
  void End() override;

 private:
  AutoHideController autoHide_;
};
