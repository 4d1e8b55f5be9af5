// The desktop service on Windows: layered-window alpha, and edge hiding by a
// worker thread with a low-level mouse hook that tells it when the left button
// is held and when the mouse moves.
#pragma once

#include <windows.h>

#include <memory>

#include "base/handles_win.h"
#include "desktop/desktop.h"

struct AutoHideShared;

// Edge hiding's switch, worked from the user-interface thread: it starts its
// worker and the hook's own thread, tells the latter when to install or
// remove the hook, and hands requests to the worker. Its end is theirs.
class AutoHideController {
 public:
  AutoHideController();
  ~AutoHideController();
  AutoHideController(const AutoHideController&) = delete;
  AutoHideController& operator=(const AutoHideController&) = delete;
  // A null window switches edge hiding off.
  void SetAutoHide(HWND window, int32_t margin);
  void BringBackFromEdge(HWND window);
  // Edge hiding off for good, and both threads returned (or, should one
  // hang, given up on).
  void End();
  // The mouse hook is in place, for a look from outside.
  bool Hooked() const;

 private:
  bool Finish();

  // What the worker and the hook's thread share with this thread. It lives
  // as long as the controller, which waits for both threads at its end;
  // should one not return in time, the record is left to the end of the
  // process rather than freed under it.
  std::unique_ptr<AutoHideShared> shared_;
  OwnedWindow moves_;  // makes the worker's moves, on the window's own thread
  OwnedHandle worker_, hookThread_;
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
