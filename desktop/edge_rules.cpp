#include "desktop/edge_rules.h"

#include <algorithm>

namespace {

bool Inside(const ScreenRect& r, ScreenPoint p) {
  return r.left <= p.x && p.x <= r.right && r.top <= p.y && p.y <= r.bottom;
}

enum Edge { kLeft, kTop, kRight, kBottom };

// An edge of s is an outer edge for w when no monitor has any of the strip
// the hidden window would lie in beyond it (as deep as the part that hides,
// as long as the window along the edge); elsewhere a hidden window would
// show on the neighbour. The strip is the same for the window shown and
// hidden, so the show rules leave alone what the hide rules leave alone.
bool OuterEdge(Edge edge, const ScreenRect& w, const ScreenRect& s, int32_t m, Monitors all) {
  const int32_t depth = (edge == kLeft || edge == kRight ? w.width() : w.height()) - m;
  const ScreenRect strip = edge == kLeft    ? ScreenRect{s.left - depth, w.top, s.left, w.bottom}
                           : edge == kTop   ? ScreenRect{w.left, s.top - depth, w.right, s.top}
                           : edge == kRight ? ScreenRect{s.right, w.top, s.right + depth, w.bottom}
                                            : ScreenRect{w.left, s.bottom, w.right, s.bottom + depth};
  return std::none_of(all.begin(), all.end(), [&](const ScreenRect& o) {
    return std::max(o.left, strip.left) < std::min(o.right, strip.right) &&
           std::max(o.top, strip.top) < std::min(o.bottom, strip.bottom);
  });
}

// A hidden window comes back against each edge it is hidden at, so one
// hidden at two edges at once (the top-right corner with its top exactly at
// the top's hidden place, say) comes back in full.
ScreenPoint ShowRules(const ScreenRect& w, const ScreenRect& s, int32_t m, Monitors all = {}) {
  ScreenPoint to{w.left, w.top};
  if (w.right == s.left + m && OuterEdge(kLeft, w, s, m, all)) to.x = s.left;
  if (w.bottom == s.top + m && OuterEdge(kTop, w, s, m, all)) to.y = s.top;
  if (w.left == s.right - m && OuterEdge(kRight, w, s, m, all)) to.x = s.right - w.width();
  if (w.top == s.bottom - m && OuterEdge(kBottom, w, s, m, all)) to.y = s.bottom - w.height();
  return to;
}

// The work area stops short of the monitor's edge there: a taskbar or an app bar holds it.
bool BarAt(Edge edge, const ScreenRect& s, const ScreenRect& work) {
  return edge == kLeft    ? work.left > s.left
         : edge == kTop   ? work.top > s.top
         : edge == kRight ? work.right < s.right
                          : work.bottom < s.bottom;
}

// Each rule that holds sets the whole position from the rectangle as read,
// so the last one to hold decides both coordinates.
ScreenPoint HideRules(const ScreenRect& w, const ScreenRect& s, const ScreenRect& work, int32_t m, Monitors all) {
  const auto hides = [&](Edge edge) { return OuterEdge(edge, w, s, m, all) && !BarAt(edge, s, work); };
  ScreenPoint to{w.left, w.top};
  if (w.left <= s.left && hides(kLeft)) to = {s.left + m - w.width(), w.top};
  if (w.top <= s.top && hides(kTop)) to = {w.left, s.top + m - w.height()};
  if (w.right >= s.right && hides(kRight)) to = {s.right - m, w.top};
  if (w.bottom >= s.bottom && hides(kBottom)) to = {w.left, s.bottom - m};
  return to;
}

bool HiddenAt(const ScreenRect& w, const ScreenRect& s, int32_t m) {
  return ShowRules(w, s, m) != ScreenPoint{w.left, w.top};
}

}  // namespace

int32_t EffectiveMargin(int32_t margin) { return margin < 1 ? kDefaultVisibleMargin : margin; }

ScreenPoint EdgeRulePosition(const ScreenRect& window, const ScreenRect& monitor, const ScreenRect& work,
                             ScreenPoint cursor, int32_t margin, Monitors all) {
  const int32_t m = EffectiveMargin(margin);
  return Inside(window, cursor) ? ShowRules(window, monitor, m, all) : HideRules(window, monitor, work, m, all);
}

ScreenPoint RestoredPosition(const ScreenRect& window, const ScreenRect& monitor, Monitors all) {
  // Where the cursor on its strip would bring it: flush with the edge it is
  // hidden at, and only at an edge where it can have been hidden.
  return ShowRules(window, monitor, kDefaultVisibleMargin, all);
}

ScreenRect HoldingMonitor(const ScreenRect& window, const ScreenRect& nearest, const ScreenRect* lastSeen,
                          int32_t margin) {
  if (lastSeen != nullptr && HiddenAt(window, *lastSeen, EffectiveMargin(margin))) return *lastSeen;
  return nearest;
}
