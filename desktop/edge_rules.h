// Where edge hiding puts the main window: pure functions of the window's
// rectangle, the rectangle of the monitor it is on and the cursor, all in
// screen coordinates. With one monitor, that monitor's rectangle starts at
// (0, 0) and is the screen.
#pragma once

#include <cstdint>
#include <span>

struct ScreenRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
  bool operator==(const ScreenRect&) const = default;
};

struct ScreenPoint {
  int32_t x = 0, y = 0;
  bool operator==(const ScreenPoint&) const = default;
};

// Every monitor of the desktop, the rules' own among them; empty: that
// monitor is the only one.
using Monitors = std::span<const ScreenRect>;

// The strip left on screen when the margin asked for is below 1.
inline constexpr int32_t kDefaultVisibleMargin = 3;
int32_t EffectiveMargin(int32_t margin);

// The window's top-left corner after one pass. With the cursor on the window
// (all four bounds count), a window hidden at an edge comes back against it
// (hidden at two edges at once, against both); with the cursor elsewhere, a
// window touching or crossing an edge hides there, leaving `margin` pixels
// on the monitor. When it touches several edges, the last of left, top,
// right, bottom wins; a window at no edge stays.
// Only an outer edge of the desktop counts: where any monitor has some of
// the strip the window would hide in, a "hidden" window would show on that
// monitor, so at such an edge the window stays where it is.
// Nor does a window hide where the monitor's work area (what no taskbar or
// app bar holds) stops short of the monitor's edge: its strip would lie
// under the bar, out of sight and reach, and the rest of it over the bar's
// buttons. It stays where the user left it there.
ScreenPoint EdgeRulePosition(const ScreenRect& window, const ScreenRect& monitor, const ScreenRect& work,
                             ScreenPoint cursor, int32_t margin, Monitors all = {});

// What switching edge hiding off does to a window left hidden with the
// default strip: it comes back in full against the outer edge it was hidden
// at (at both, hidden at two), a taskbar's edge too. A window that is not
// hidden, or sits at an edge another monitor continues (where it shows on
// that monitor), stays.
ScreenPoint RestoredPosition(const ScreenRect& window, const ScreenRect& monitor, Monitors all = {});

// Whose edges apply. The system names the monitor with the most of the
// window on it, but a window hidden at a monitor's edge lies mostly on the
// neighbouring one; it belongs to the monitor it was last seen on as long as
// it sits hidden at that monitor's edge.
ScreenRect HoldingMonitor(const ScreenRect& window, const ScreenRect& nearest, const ScreenRect* lastSeen,
                          int32_t margin);
