#include "desktop/edge_rules.h"

namespace {

bool Inside(const ScreenRect& r, ScreenPoint p) {
  return r.left <= p.x && p.x <= r.right && r.top <= p.y && p.y <= r.bottom;
}

// Each rule that holds sets the whole position from the rectangle as read,
// so the last one to hold decides both coordinates.
ScreenPoint ShowRules(const ScreenRect& w, const ScreenRect& s, int32_t m) {
  ScreenPoint to{w.left, w.top};
  if (w.right == s.left + m) to = {s.left, w.top};
  if (w.bottom == s.top + m) to = {w.left, s.top};
  if (w.left == s.right - m) to = {s.right - w.width(), w.top};
  if (w.top == s.bottom - m) to = {w.left, s.bottom - w.height()};
  return to;
}

ScreenPoint HideRules(const ScreenRect& w, const ScreenRect& s, int32_t m) {
  ScreenPoint to{w.left, w.top};
  if (w.left <= s.left) to = {s.left + m - w.width(), w.top};
  if (w.top <= s.top) to = {w.left, s.top + m - w.height()};
  if (w.right >= s.right) to = {s.right - m, w.top};
  if (w.bottom >= s.bottom) to = {w.left, s.bottom - m};
  return to;
}

bool HiddenAt(const ScreenRect& w, const ScreenRect& s, int32_t m) {
  return ShowRules(w, s, m) != ScreenPoint{w.left, w.top};
}

}  // namespace

int32_t EffectiveMargin(int32_t margin) { return margin < 1 ? kDefaultVisibleMargin : margin; }

ScreenPoint EdgeRulePosition(const ScreenRect& window, const ScreenRect& monitor, ScreenPoint cursor, int32_t margin) {
  const int32_t m = EffectiveMargin(margin);
  return Inside(window, cursor) ? ShowRules(window, monitor, m) : HideRules(window, monitor, m);
}

ScreenPoint RestoredPosition(const ScreenRect& window, const ScreenRect& monitor) {
  // The hide rules once more, with a strip as deep as the window itself: the
  // window ends flush with the edge it was hidden at.
  const int32_t m = kDefaultVisibleMargin;
  const ScreenRect& w = window;
  const ScreenRect& s = monitor;
  if (w.top == s.top + m - w.height() || w.top == s.bottom - m) return HideRules(w, s, w.height());
  if (w.left == s.left + m - w.width() || w.left == s.right - m) return HideRules(w, s, w.width());
  return {w.left, w.top};
}

ScreenRect HoldingMonitor(const ScreenRect& window, const ScreenRect& nearest, const ScreenRect* lastSeen,
                          int32_t margin) {
  if (lastSeen != nullptr && HiddenAt(window, *lastSeen, EffectiveMargin(margin))) return *lastSeen;
  return nearest;
}
