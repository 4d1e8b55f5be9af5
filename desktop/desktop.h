// How the main window sits on the desktop: its translucency and hiding at
// the screen edge. The program's routines decide; the Desktop service does it.
#pragma once

#include <cstdint>

namespace ui {
class Window;
}

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Makes the window layered (its extended style becomes exactly that) with
  // this opacity for the whole window: 0 invisible, 255 opaque.
  virtual void SetWindowAlpha(ui::Window& window, uint8_t alpha) = 0;
  // Hides the window at the edge it touches while the cursor is elsewhere,
  // leaving `margin` pixels (below 1: 3) on screen, and shows it when the
  // cursor touches that strip. A switch-on while on changes nothing. Null
  // switches it off.
  virtual void SetAutoHide(ui::Window* window, int32_t margin = 0) = 0;
  // Brings a window hidden at an edge back in full against that edge, once
  // edge hiding is off; nothing it had decided before lands afterwards.
  virtual void BringBackFromEdge(ui::Window& window) = 0;
  // For the end of the process: edge hiding off for good, the hook removed
  // and every thread of it returned (or, should one hang, given up on).
  virtual void End() = 0;
};

inline constexpr uint8_t kTranslucentAlpha = 80;
inline constexpr uint8_t kOpaqueAlpha = 255;
