// The main window on the desktop: how see-through it is, and how it hides at
// the screen's edges and comes back, as a user meets it with the real mouse.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/session.h"

namespace e2e {
namespace {

BYTE Alpha(HWND window) {
  BYTE alpha = 0;
  return LayeredAlpha(window, &alpha) ? alpha : 0;
}

POINT Screen() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// The main window at this place, at the size it had from the start.
bool WaitAt(HWND window, LONG left, LONG top) {
  return WaitUntil(
      [&] {
        const RECT r = WindowRect(window);
        return r.left == left && r.top == top && r.right - r.left == 280 && r.bottom - r.top == 90;
      },
      3000);
}

// Drags the main window by its label so that its top-left corner lands on `to`.
void DragTo(const Session& s, POINT to) {
  const RECT r = WindowRect(s.main);
  const POINT grip{r.left + 40, r.top + 40};
  Drag(grip, {grip.x + to.x - r.left, grip.y + to.y - r.top});
}

// A taskbar along the bottom, as Wine learns of one: from the root window's
// _NET_WORKAREA (which Xvfb keeps while a client, this test, is connected),
// read again when the display mode is set afresh. True once it holds.
bool SetWorkAreaBottom(LONG bottom) {
  const std::string area = "0,0," + std::to_string(Screen().x) + "," + std::to_string(bottom);
  const bool set = RunOnHost(bottom == Screen().y ? "xprop -root -remove _NET_WORKAREA"
                                                  : "xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA " + area);
  DEVMODEW mode{};
  mode.dmSize = sizeof mode;
  EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode);
  ChangeDisplaySettingsExW(nullptr, &mode, nullptr, CDS_RESET, nullptr);
  RECT work{};
  return set && SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) && work.bottom == bottom;
}

// Somewhere on neither of the program's windows.
POINT Elsewhere() { return {Screen().x * 3 / 4, 40}; }

std::wstring Where(HWND window) {
  const RECT r = WindowRect(window);
  return std::to_wstring(r.left) + L"," + std::to_wstring(r.top);
}

TEST(Translucency, FollowsTheBoxAndTheMenuAndIsSaved) {
  Session s(SettingsFile(L"半透明=是\r\n"));
  ASSERT_SESSION(s);
  EXPECT_EQ(Alpha(s.main), 80);
  Click(s.Ctl(id::kTranslucent));
  EXPECT_TRUE(WaitUntil([&] { return Alpha(s.main) == 255; }));
  EXPECT_TRUE(s.WaitFileHas(L"半透明=否"));
  Menu(s).Pick(kTranslucentItem);
  EXPECT_TRUE(WaitUntil([&] { return Alpha(s.main) == 80; }));
  EXPECT_TRUE(s.WaitFileHas(L"半透明=是"));
  EXPECT_EQ(CheckState(s.Ctl(id::kTranslucent)), BST_CHECKED);
  Menu(s).Pick(kTranslucentItem);
  EXPECT_TRUE(WaitUntil([&] { return Alpha(s.main) == 255; }));
  EXPECT_TRUE(s.WaitFileHas(L"半透明=否"));
  EXPECT_EQ(ExStyle(s.main) & WS_EX_LAYERED, WS_EX_LAYERED) << "stays layered when opaque";
}

TEST(EdgeHiding, HidesAtEachEdgeAndCornerAndShowsFromTheStrip) {
  Session s;
  ASSERT_SESSION(s);
  const POINT screen = Screen();
  const RECT start = WindowRect(s.main);
  const LONG w = start.right - start.left, h = start.bottom - start.top;
  const LONG midX = (screen.x - w) / 2, midY = (screen.y - h) / 2;
  struct Case {
    const wchar_t* edge;
    POINT dragTo, hidden, strip, shown;
  };
  const Case cases[] = {
      {L"left", {-20, midY}, {3 - w, midY}, {1, midY + 10}, {0, midY}},
      {L"top", {midX, 0}, {midX, 3 - h}, {midX + 20, 1}, {midX, 0}},
      {L"right", {screen.x - w, midY}, {screen.x - 3, midY}, {screen.x - 2, midY + 10}, {screen.x - w, midY}},
      {L"bottom", {midX, screen.y - h + 10}, {midX, screen.y - 3}, {midX + 20, screen.y - 1}, {midX, screen.y - h}},
      {L"top-left corner", {-10, -10}, {-10, 3 - h}, {20, 1}, {-10, 0}},
      {L"top-right corner", {screen.x - w + 10, -10}, {screen.x - 3, -10}, {screen.x - 2, 20}, {screen.x - w, -10}},
      {L"bottom-left corner", {-10, screen.y - h + 10}, {-10, screen.y - 3}, {20, screen.y - 1}, {-10, screen.y - h}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edge);
    DragTo(s, {midX, midY});
    MoveMouse(Elsewhere());
    ASSERT_TRUE(WaitAt(s.main, midX, midY)) << "away from the edges it stays: " << Where(s.main);
    DragTo(s, c.dragTo);
    EXPECT_TRUE(WaitAt(s.main, c.dragTo.x, c.dragTo.y)) << "under the cursor it stays: " << Where(s.main);
    MoveMouse(Elsewhere());
    EXPECT_TRUE(WaitAt(s.main, c.hidden.x, c.hidden.y)) << Where(s.main);
    if (c.edge == std::wstring(L"left")) SaveScreenshot({0, 0, screen.x, screen.y}, L"hidden_at_left_edge");
    MoveMouse(c.strip);
    EXPECT_TRUE(WaitAt(s.main, c.shown.x, c.shown.y)) << Where(s.main);
    MoveMouse(Elsewhere());
    EXPECT_TRUE(WaitAt(s.main, c.hidden.x, c.hidden.y)) << "hides again: " << Where(s.main);
    MoveMouse(c.strip);  // in view again, to be dragged away
    ASSERT_TRUE(WaitAt(s.main, c.shown.x, c.shown.y)) << Where(s.main);
  }
}

// Hidden there, the window's strip would lie under the taskbar. In the
// corner, it hides at the free edge instead.
TEST(EdgeHiding, NeverHidesAtAnEdgeATaskbarHolds) {
  const struct Bar {
    ~Bar() { SetWorkAreaBottom(Screen().y); }
  } bar;
  ASSERT_TRUE(SetWorkAreaBottom(Screen().y - 40));
  Session s;
  ASSERT_SESSION(s);
  const RECT start = WindowRect(s.main);
  const LONG overTheBar = Screen().y - (start.bottom - start.top) + 10;
  DragTo(s, {-10, overTheBar});
  MoveMouse(Elsewhere());
  EXPECT_TRUE(WaitAt(s.main, 3 - (start.right - start.left), overTheBar)) << Where(s.main);
}

TEST(EdgeHiding, NothingMovesWhileTheLeftButtonIsHeldElsewhere) {
  Session s;
  ASSERT_SESSION(s);
  const RECT start = WindowRect(s.main);
  const LONG w = start.right - start.left;
  DragTo(s, {0, start.top});
  MoveMouse(Elsewhere());
  ASSERT_TRUE(WaitAt(s.main, 3 - w, start.top));

  MouseDown(Elsewhere());
  MoveMouseSteps(Elsewhere(), {1, start.top + 10});
  Sleep(600);
  EXPECT_TRUE(WaitAt(s.main, 3 - w, start.top)) << "not shown while held: " << Where(s.main);
  MouseUp({1, start.top + 10});
  EXPECT_TRUE(WaitAt(s.main, 0, start.top)) << "shown after the release: " << Where(s.main);

  // The column just right of the window still counts as on it, and a press
  // there lands on the desktop, not on the window, so nothing is dragged.
  const POINT beside{w, start.top + 10};
  MoveMouse(beside);
  MouseDown(beside);
  MoveMouseSteps(beside, Elsewhere());
  Sleep(600);
  EXPECT_TRUE(WaitAt(s.main, 0, start.top)) << "not hidden while held: " << Where(s.main);
  MouseUp(Elsewhere());
  EXPECT_TRUE(WaitAt(s.main, 3 - w, start.top)) << "hidden after the release: " << Where(s.main);
}

TEST(EdgeHiding, AStalledProgramHoldsUpNobodysMouseAndHidesOnceItRunsAgain) {
  Session s;
  ASSERT_SESSION(s);
  const RECT start = WindowRect(s.main);
  const LONG w = start.right - start.left;
  DragTo(s, {0, start.top});  // the cursor is still on it, so it stays in view
  ASSERT_TRUE(WaitAt(s.main, 0, start.top)) << Where(s.main);
  DWORD slowest = 0;
  {
    Stall stall(s.main);
    ASSERT_TRUE(stall.Holding());
    MoveMouse(Elsewhere());
    for (const DWORD began = GetTickCount(); GetTickCount() - began < 4000; Sleep(100)) {
      slowest = std::max(slowest, TimedMouseMove());
    }
  }
  EXPECT_LT(slowest, 250u) << "a mouse move waited for the stalled program";
  EXPECT_TRUE(WaitAt(s.main, 3 - w, start.top)) << "hidden once it runs again: " << Where(s.main);
  MoveMouse({1, start.top + 10});
  EXPECT_TRUE(WaitAt(s.main, 0, start.top)) << "and shown from the strip: " << Where(s.main);
}

TEST(EdgeHiding, SwitchedOffWhileHiddenTheWindowComesBackAndStays) {
  Session s;
  ASSERT_SESSION(s);
  const POINT screen = Screen();
  const RECT start = WindowRect(s.main);
  const LONG w = start.right - start.left;
  DragTo(s, {screen.x - w, start.top});
  MoveMouse(Elsewhere());
  ASSERT_TRUE(WaitAt(s.main, screen.x - 3, start.top));
  Click(s.Ctl(id::kAutoHide));
  EXPECT_EQ(CheckState(s.Ctl(id::kAutoHide)), BST_UNCHECKED);
  EXPECT_TRUE(WaitAt(s.main, screen.x - w, start.top)) << Where(s.main);
  EXPECT_TRUE(s.WaitFileHas(L"自动隐藏=否"));
  MoveMouse(Elsewhere());
  Sleep(500);
  EXPECT_TRUE(WaitAt(s.main, screen.x - w, start.top)) << "no longer hides: " << Where(s.main);

  // Back on from the menu, it hides again at once.
  Menu(s).Pick(kAutoHideItem);
  EXPECT_TRUE(s.WaitFileHas(L"自动隐藏=是"));
  MoveMouse(Elsewhere());
  EXPECT_TRUE(WaitAt(s.main, screen.x - 3, start.top)) << Where(s.main);
}

TEST(EdgeHiding, ReachingZeroBringsTheWindowBackOpaque) {
  Session s(SettingsFile(L"半透明=是\r\n"));
  ASSERT_SESSION(s);
  ASSERT_EQ(Alpha(s.main), 80);
  const RECT start = WindowRect(s.main);
  const LONG h = start.bottom - start.top;
  TypeInto(s.Ctl(id::kTimeBox), L"0.05");  // three seconds
  EXPECT_TRUE(WaitText(s.Label(), L"00-03"));
  DragTo(s, {start.left, -5});
  MoveMouse(Elsewhere());
  ASSERT_TRUE(WaitAt(s.main, start.left, 3 - h));
  Click(s.Ctl(id::kStart));
  EXPECT_TRUE(WaitText(s.Label(), L"00-00", 5000));
  EXPECT_TRUE(WaitAt(s.main, start.left, 0)) << Where(s.main);
  EXPECT_TRUE(WaitUntil([&] { return Alpha(s.main) == 255; }));
  EXPECT_TRUE(s.WaitFileHas(L"自动隐藏=否"));
  EXPECT_TRUE(s.WaitFileHas(L"半透明=否"));
  MoveMouse(Elsewhere());
  Sleep(500);
  EXPECT_TRUE(WaitAt(s.main, start.left, 0)) << "stays in view: " << Where(s.main);
}

}  // namespace
}  // namespace e2e
