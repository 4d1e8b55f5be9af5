// Where edge hiding puts the window: one monitor, several, and the way back.
#include <gtest/gtest.h>

#include <tuple>

#include "desktop/edge_rules.h"

void PrintTo(const ScreenPoint& p, std::ostream* out) { *out << "(" << p.x << ", " << p.y << ")"; }

namespace {

constexpr ScreenRect kScreen{0, 0, 1024, 768};
constexpr ScreenPoint kAway{500, 400};  // on no test window

ScreenRect At(int32_t left, int32_t top, int32_t width = 280, int32_t height = 90) {
  return {left, top, left + width, top + height};
}

// No work area: no taskbar, all of the monitor is.
ScreenPoint Pass(const ScreenRect& window, ScreenPoint cursor, const ScreenRect& monitor = kScreen, int32_t margin = 3,
                 Monitors all = {}, const ScreenRect& work = {}) {
  return EdgeRulePosition(window, monitor, work == ScreenRect{} ? monitor : work, cursor, margin, all);
}

TEST(EdgeRules, HideAtTheEdgeTouchedAndShowFromTheStrip) {
  struct Case {
    const char* edge;
    ScreenRect shown;
    ScreenPoint hidden, onStrip, back;
  };
  const Case cases[] = {
      {"left", At(0, 300), {-277, 300}, {0, 340}, {0, 300}},
      {"left, crossed", At(-40, 300), {-277, 300}, {1, 340}, {0, 300}},
      {"top", At(400, 0), {400, -87}, {500, 2}, {400, 0}},
      {"right", At(744, 300), {1021, 300}, {1023, 340}, {744, 300}},
      {"right, crossed", At(900, 300), {1021, 300}, {1022, 300}, {744, 300}},
      {"bottom", At(400, 678), {400, 765}, {500, 767}, {400, 678}},
      // Several edges: the last of left, top, right, bottom decides, and the
      // other coordinate stays as it was.
      {"top-left corner", At(-10, -10), {-10, -87}, {0, 0}, {-10, 0}},
      {"top-right corner", At(800, -5), {1021, -5}, {1023, 10}, {744, -5}},
      {"bottom-left corner", At(-10, 700), {-10, 765}, {5, 767}, {-10, 678}},
      {"bottom-right corner", At(800, 700), {800, 765}, {900, 768}, {800, 678}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edge);
    EXPECT_EQ(Pass(c.shown, kAway), c.hidden);
    const ScreenRect hidden = At(c.hidden.x, c.hidden.y);
    EXPECT_EQ(Pass(hidden, kAway), c.hidden) << "stays hidden";
    EXPECT_EQ(Pass(hidden, c.onStrip), c.back);
    EXPECT_EQ(Pass(At(c.back.x, c.back.y), {c.back.x + 1, c.back.y + 1}), c.back) << "stays under the cursor";
  }
}

TEST(EdgeRules, TheCursorOnAnyBoundIsOnTheWindow) {
  const ScreenRect pushedOver = At(-40, 300);  // the user left it partly off screen
  for (ScreenPoint on : {ScreenPoint{-40, 300}, ScreenPoint{240, 390}, ScreenPoint{0, 345}}) {
    EXPECT_EQ(Pass(pushedOver, on), (ScreenPoint{-40, 300}));
  }
  EXPECT_EQ(Pass(pushedOver, {241, 390}), (ScreenPoint{-277, 300}));
  EXPECT_EQ(Pass(pushedOver, {240, 391}), (ScreenPoint{-277, 300}));
}

TEST(EdgeRules, AWindowAtNoEdgeNeverMovesAndAMarginBelowOneIsThree) {
  for (ScreenPoint cursor : {kAway, ScreenPoint{150, 150}})
    EXPECT_EQ(Pass(At(100, 100), cursor), (ScreenPoint{100, 100}));
  EXPECT_EQ(Pass(At(1, 1, 1022, 766), kAway), (ScreenPoint{1, 1}));
  for (int32_t margin : {0, -5, 3}) EXPECT_EQ(Pass(At(0, 300), kAway, kScreen, margin), (ScreenPoint{-277, 300}));
  EXPECT_EQ(Pass(At(0, 300), kAway, kScreen, 10), (ScreenPoint{-270, 300}));
  EXPECT_EQ(Pass(At(-270, 300), {5, 310}, kScreen, 10), (ScreenPoint{0, 300}));
  EXPECT_EQ(Pass(At(-270, 300), {5, 310}, kScreen, 3), (ScreenPoint{-270, 300})) << "not hidden by this margin";
}

TEST(EdgeRules, SwitchingOffBringsAHiddenWindowBackAtItsEdge) {
  struct Case {
    ScreenRect hidden;
    ScreenPoint back;
  };
  const Case cases[] = {
      {At(-277, 300), {0, 300}},
      {At(400, -87), {400, 0}},
      {At(1021, 300), {744, 300}},
      {At(400, 765), {400, 678}},
      {At(-10, -87), {-10, 0}},
      {At(-10, 765), {-10, 678}},
      {At(1021, -5), {744, -5}},
      {At(300, 300), {300, 300}},
      {At(-276, 300), {-276, 300}},
      // Hidden at two edges at once: back in full, against both.
      {At(1021, -87), {744, 0}},
      {At(-277, 765), {0, 678}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RestoredPosition(c.hidden, kScreen), c.back) << c.hidden.left << "," << c.hidden.top;
  }
}

// A taskbar holds an edge where the work area stops short of the screen: a
// window pushed over it stays; the free edges, and its strip, work as ever.
TEST(EdgeRules, NothingHidesAtAnEdgeATaskbarHolds) {
  const ScreenRect bottomBar{0, 0, 1024, 728}, topBar{0, 30, 1024, 768}, leftBar{60, 0, 1024, 768},
      rightBar{0, 0, 964, 768};
  const std::tuple<ScreenRect, ScreenRect, ScreenPoint> cases[] = {
      // work area, window, where it goes
      {bottomBar, At(400, 700), {400, 700}},  {topBar, At(400, -5), {400, -5}},
      {leftBar, At(-10, 300), {-10, 300}},    {rightBar, At(800, 300), {800, 300}},
      {bottomBar, At(-10, 700), {-277, 700}}, {rightBar, At(800, -5), {800, -87}}};
  for (const auto& [work, window, to] : cases) EXPECT_EQ(Pass(window, kAway, kScreen, 3, {}, work), to) << window.left;
  EXPECT_EQ(Pass(At(400, 765), {500, 767}, kScreen, 3, {}, bottomBar), (ScreenPoint{400, 678}));
}

// A laptop screen with a projector: beside it, above it, or to its left.
TEST(EdgeRules, EachMonitorHasItsOwnEdges) {
  const ScreenRect primary{0, 0, 1920, 1080};
  const ScreenRect right{1920, 0, 3200, 1024}, below{0, 1080, 1920, 2160}, left{-1280, 0, 0, 1024};
  // A window in the middle of the projector stays there; measured against
  // the laptop screen it would be pulled back to that screen's edge.
  EXPECT_EQ(Pass(At(2500, 400), kAway, right), (ScreenPoint{2500, 400}));
  EXPECT_EQ(Pass(At(2500, 400), kAway, primary), (ScreenPoint{1917, 400}));
  // It hides at the projector's own edges, and comes back from them.
  EXPECT_EQ(Pass(At(2920, 400), kAway, right), (ScreenPoint{3197, 400}));
  EXPECT_EQ(Pass(At(3197, 400), {3199, 420}, right), (ScreenPoint{2920, 400}));
  EXPECT_EQ(Pass(At(2500, 934), kAway, right), (ScreenPoint{2500, 1021}));
  EXPECT_EQ(Pass(At(500, 2070), kAway, below), (ScreenPoint{500, 2157}));
  EXPECT_EQ(Pass(At(500, 2157), {600, 2159}, below), (ScreenPoint{500, 2070}));
  EXPECT_EQ(Pass(At(-1280, 500), kAway, left), (ScreenPoint{-1557, 500}));
  EXPECT_EQ(Pass(At(-1557, 500), {-1279, 520}, left), (ScreenPoint{-1280, 500}));
  EXPECT_EQ(RestoredPosition(At(-1557, 500), left), (ScreenPoint{-1280, 500}));
  EXPECT_EQ(RestoredPosition(At(500, 2157), below), (ScreenPoint{500, 2070}));
}

// Two monitors: an edge the other one continues, even in part, hides
// nothing, and a window sitting where it would be hidden there is not
// pulled back either, by the cursor or by switching off, since it shows on
// the neighbour.
TEST(EdgeRules, OnlyTheDesktopsOuterEdgesHide) {
  constexpr ScreenRect left{0, 0, 1920, 1080}, right{1920, 0, 3840, 1080}, below{0, 1080, 1920, 2160};
  constexpr ScreenRect lower{1920, 200, 3840, 1280}, shorter{1920, 0, 3200, 768}, further{-1920, 0, 0, 1080};
  struct Case {
    const char* layout;
    ScreenRect monitor, neighbour;
    ScreenPoint shown, hidden, onStrip;
    bool outer;
  };
  const Case cases[] = {
      {"side by side, shared", left, right, {1640, 400}, {1917, 400}, {1919, 420}, false},
      {"side by side, outer", right, left, {2500, 990}, {2500, 1077}, {2600, 1079}, true},
      {"stacked, upper's bottom", left, below, {400, 990}, {400, 1077}, {500, 1079}, false},
      {"stacked, lower's top", below, left, {400, 1080}, {400, 993}, {500, 1081}, false},
      {"stacked, outer", left, below, {400, 0}, {400, -87}, {500, 1}, true},
      // One pixel either way of where the neighbour starts or ends along the
      // edge: a strip that only touches it does not count as shared.
      {"offset, beside the neighbour", left, lower, {1640, 111}, {1917, 111}, {1919, 150}, false},
      {"offset, above the neighbour", left, lower, {1640, 110}, {1917, 110}, {1919, 150}, true},
      {"shorter neighbour, beside it", left, shorter, {1640, 767}, {1917, 767}, {1919, 800}, false},
      {"shorter neighbour, below it", left, shorter, {1640, 768}, {1917, 768}, {1919, 800}, true},
      {"primary on the right, shared", left, further, {0, 400}, {-277, 400}, {1, 420}, false},
      {"primary on the right, outer", further, left, {-1920, 400}, {-2197, 400}, {-1919, 420}, true},
      // Across the seam at an outer edge: it hides there, and comes back there
      // (not along the edge onto the other monitor) when the option goes off.
      {"side by side, across at the top", left, right, {1700, 0}, {1700, -87}, {1800, 1}, true},
      {"primary on the right, across at the bottom", left, further, {-100, 990}, {-100, 1077}, {0, 1079}, true},
      {"stacked, across at the left", below, left, {0, 1040}, {-277, 1040}, {1, 1100}, true},
      {"stacked, across at the right", left, below, {1640, 1000}, {1917, 1000}, {1919, 1050}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layout);
    const ScreenRect all[] = {c.monitor, c.neighbour};
    EXPECT_EQ(Pass(At(c.shown.x, c.shown.y), kAway, c.monitor, 3, all), c.outer ? c.hidden : c.shown);
    EXPECT_EQ(Pass(At(c.hidden.x, c.hidden.y), c.onStrip, c.monitor, 3, all), c.outer ? c.shown : c.hidden);
    EXPECT_EQ(RestoredPosition(At(c.hidden.x, c.hidden.y), c.monitor, all), c.outer ? c.shown : c.hidden)
        << "switched off";
  }
}

TEST(EdgeRules, AHiddenWindowBelongsToTheMonitorItIsHiddenOn) {
  const ScreenRect primary{0, 0, 1920, 1080}, right{1920, 0, 3200, 1024};
  // Hidden at the projector's left edge, it lies mostly on the laptop screen,
  // which the system then names as its monitor.
  const ScreenRect hidden = At(1920 + 3 - 280, 400);
  EXPECT_EQ(HoldingMonitor(hidden, primary, &right, 3), right);
  EXPECT_EQ(Pass(hidden, kAway, right), (ScreenPoint{hidden.left, hidden.top}));
  // Shown again, or moved away by the user, it goes by the system's choice.
  EXPECT_EQ(HoldingMonitor(At(1920, 400), right, &right, 3), right);
  EXPECT_EQ(HoldingMonitor(At(500, 400), primary, &right, 3), primary);
  EXPECT_EQ(HoldingMonitor(hidden, primary, nullptr, 3), primary);
  EXPECT_EQ(HoldingMonitor(At(1920 - 277, 400), primary, &right, 0), right) << "margin 0 is 3";
}

}  // namespace
