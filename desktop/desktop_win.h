// The desktop service on Windows: layered-window alpha, and edge hiding by a
// worker thread with a low-level mouse hook that tells it when the left button
// is held and when the mouse moves.
#pragma once

#include "desktop/desktop.h"

class Win32Desktop : public Desktop {
 public:
  Win32Desktop();
  void SetWindowAlpha(ui::Window& window, uint8_t alpha) override;
  void SetAutoHide(ui::Window* window, int32_t margin) override;
  void BringBackFromEdge(ui::Window& window) override;
};
