// The countdown and its settings, typed and turned by a user, with the
// settings file read back from disk.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/e2e/session.h"

namespace e2e {
namespace {

int Height(const RECT& r) { return r.bottom - r.top; }

// Dark pixels of the time label: more for larger digits.
int InkOf(HWND label) {
  const RECT r = WindowRect(label);
  int ink = 0;
  for (int y = r.top + 2; y < r.bottom - 2; y += 2) {
    for (int x = r.left + 2; x < r.right - 2; x += 2)
      ink += GetRValue(ScreenPixel(x, y)) < 64 && GetGValue(ScreenPixel(x, y)) < 64;
  }
  return ink;
}

TEST(FirstStart, ShowsTheDefaultsAndWritesExactlyTheFourKeys) {
  Session s;
  ASSERT_SESSION(s);
  EXPECT_EQ(Text(s.Label()), L"05-00");
  const RECT r = WindowRect(s.main);
  EXPECT_EQ(r.right - r.left, 280);
  EXPECT_EQ(Height(r), 90);
  EXPECT_TRUE(Enabled(s.Ctl(id::kStart)));
  EXPECT_EQ(Text(s.Ctl(id::kStart)), L"开始计时");
  EXPECT_EQ(CheckState(s.Ctl(id::kApplause)), BST_CHECKED);
  EXPECT_EQ(CheckState(s.Ctl(id::kWarning)), BST_CHECKED);
  EXPECT_EQ(CheckState(s.Ctl(id::kAutoHide)), BST_CHECKED);
  EXPECT_EQ(CheckState(s.Ctl(id::kTranslucent)), BST_UNCHECKED);
  EXPECT_EQ(s.program.SettingsBytes(), SettingsFile(L"字体大小=72\r\n窗口高度=90\r\n窗口宽度=280\r\n时间=5\r\n"));
}

TEST(PreparedFile, ColourFullWidthWidthAndOptionsAreLoaded) {
  Session s(SettingsFile(L"背景颜色=255\r\n窗口宽度=１２０\r\n鼓掌=yes\r\n半透明=是\r\n"));
  ASSERT_SESSION(s);
  EXPECT_FALSE(SaveWindowShot(s.main, L"main_window_red_120").empty());
  const RECT r = WindowRect(s.main);
  EXPECT_EQ(r.right - r.left, 120);
  int red = 0;  // the digits cover much of so narrow a label; the gaps show the middle row
  for (int x = r.left + 1; x < r.right - 1; ++x) red += ScreenPixel(x, r.top + 45) == RGB(255, 0, 0);
  EXPECT_GT(red, 5) << "red is the low byte of the colour";
  EXPECT_EQ(Text(s.Ctl(id::kWidthBox)), L"１２０");
  EXPECT_EQ(CheckState(s.Ctl(id::kApplause)), BST_UNCHECKED);
  EXPECT_EQ(CheckState(s.Ctl(id::kTranslucent)), BST_CHECKED);
  EXPECT_TRUE(s.WaitFileHas(L"窗口宽度=１２０"));  // written back as it stood
}

TEST(Countdown, KeepsToTheClockThroughAStalledInterfaceThread) {
  Session s;
  ASSERT_SESSION(s);
  TypeInto(s.Ctl(id::kTimeBox), L"0.2");
  ASSERT_TRUE(WaitText(s.Label(), L"00-12"));
  const ULONGLONG pressed = GetTickCount64();  // the press ticks at once: 00-00 is due 11 s on
  Click(s.Ctl(id::kStart));
  ASSERT_TRUE(WaitText(s.Label(), L"00-11"));
  Sleep(2000);
  {
    Stall stall(s.main);
    ASSERT_TRUE(stall.Holding());
    Sleep(3500);
  }
  ASSERT_TRUE(WaitText(s.Label(), L"00-00", 15000));
  const auto late = static_cast<long long>(GetTickCount64() - pressed) - 11000;
  EXPECT_LT(std::llabs(late), 400) << "00-00 came " << late << " ms late";
}

TEST(Countdown, TypedTimeStartsPausesAndContinues) {
  Session s;
  ASSERT_SESSION(s);
  TypeInto(s.Ctl(id::kTimeBox), L"3");
  EXPECT_TRUE(WaitText(s.Label(), L"03-00"));
  EXPECT_TRUE(s.WaitFileHas(L"时间=3"));

  const HWND start = s.Ctl(id::kStart);
  Click(start);
  EXPECT_TRUE(WaitText(s.Label(), L"02-59", 900));  // one second off at once
  EXPECT_EQ(Text(start), L"暂停计时");
  EXPECT_FALSE(Enabled(s.Ctl(id::kTimeBox)));
  EXPECT_TRUE(WaitText(s.Label(), L"02-58", 2500));
  EXPECT_TRUE(WaitText(s.Label(), L"02-57", 2500));

  Click(start);
  EXPECT_TRUE(WaitText(start, L"继续计时"));
  const std::wstring paused = Text(s.Label());
  Sleep(1500);
  EXPECT_EQ(Text(s.Label()), paused);
  Click(start);
  EXPECT_TRUE(WaitText(start, L"暂停计时"));

  Click(s.Ctl(id::kReset));
  EXPECT_TRUE(WaitText(s.Label(), L"03-00"));
  EXPECT_TRUE(WaitText(start, L"开始计时"));
  EXPECT_TRUE(Enabled(s.Ctl(id::kTimeBox)));
}

TEST(Countdown, ReachingZeroStopsAndSwitchesTranslucencyOff) {
  Session s(SettingsFile(L"半透明=是\r\n时间=0.05\r\n"));  // three seconds
  ASSERT_SESSION(s);
  ASSERT_EQ(CheckState(s.Ctl(id::kTranslucent)), BST_CHECKED);
  EXPECT_EQ(Text(s.Label()), L"00-03");
  Click(s.Ctl(id::kStart));
  EXPECT_TRUE(WaitText(s.Label(), L"00-00", 8000));  // the clock's own test is above; this one may run emulated
  EXPECT_TRUE(WaitUntil([&] { return !Enabled(s.Ctl(id::kStart)); }));
  // The applause starts first (some 20 ms under Wine), then the option goes off.
  EXPECT_TRUE(WaitUntil([&] { return CheckState(s.Ctl(id::kTranslucent)) == BST_UNCHECKED; }));
  EXPECT_TRUE(s.WaitFileHas(L"半透明=否"));
  Sleep(1500);
  EXPECT_EQ(Text(s.Label()), L"00-00");  // stays at zero
}

TEST(Wheel, FontSizeGrowsAndWidthStaysAtLeastOne) {
  Session s;
  ASSERT_SESSION(s);
  const int inkBefore = InkOf(s.Label());
  const HWND font = s.Ctl(id::kFontBox);
  Click(font);
  Wheel(Centre(font), 120);
  EXPECT_TRUE(WaitText(font, L"73"));
  EXPECT_TRUE(s.WaitFileHas(L"字体大小=73"));
  Wheel(Centre(font), 120 * 10);
  EXPECT_TRUE(WaitText(font, L"83"));
  // A touchpad's steps under a notch add up; turned back, it starts afresh.
  WheelBurst(Centre(font), {40, 40, 40, 30, 30, 30, 30});
  EXPECT_TRUE(WaitText(font, L"85"));
  WheelBurst(Centre(font), {30, -30, -30, -30, -30});
  EXPECT_TRUE(WaitText(font, L"84"));
  EXPECT_TRUE(s.WaitFileHas(L"字体大小=84"));
  EXPECT_TRUE(WaitUntil([&] { return InkOf(s.Label()) > inkBefore; })) << "the digits grew";

  const HWND width = s.Ctl(id::kWidthBox);
  TypeInto(width, L"1");
  EXPECT_TRUE(WaitUntil([&] { return WindowRect(s.main).right - WindowRect(s.main).left == 1; }));
  Click(width);
  Wheel(Centre(width), -120);
  Sleep(300);
  EXPECT_EQ(Text(width), L"1");
  EXPECT_TRUE(s.WaitFileHas(L"窗口宽度=1"));
}

TEST(SizeBoxes, ZeroHeightKeepsTheProgramResponsive) {
  Session s;
  ASSERT_SESSION(s);
  const HWND height = s.Ctl(id::kHeightBox);
  TypeInto(height, L"0");
  EXPECT_TRUE(s.WaitFileHas(L"窗口高度=0"));
  EXPECT_TRUE(WaitUntil([&] { return Height(WindowRect(s.main)) == 0; }));
  TypeInto(height, L"90");
  EXPECT_TRUE(WaitUntil([&] { return Height(WindowRect(s.main)) == 90; }));
  EXPECT_TRUE(s.WaitFileHas(L"窗口高度=90"));

  // Sizes far beyond the screen are clamped, not passed on to crash the window system.
  TypeInto(s.Ctl(id::kWidthBox), L"2147483647");
  EXPECT_TRUE(s.WaitFileHas(L"窗口宽度=2147483647"));
  EXPECT_TRUE(WaitText(s.Label(), L"05-00"));
  TypeInto(s.Ctl(id::kFontBox), L"2147483647");
  EXPECT_TRUE(s.WaitFileHas(L"字体大小=2147483647"));
  TypeInto(s.Ctl(id::kWidthBox), L"280");
  EXPECT_TRUE(WaitUntil([&] { return WindowRect(s.main).right - WindowRect(s.main).left == 280; }));
  TypeInto(s.Ctl(id::kFontBox), L"72");
  EXPECT_TRUE(s.WaitFileHas(L"字体大小=72"));
  EXPECT_TRUE(s.program.Running());
}

}  // namespace
}  // namespace e2e
