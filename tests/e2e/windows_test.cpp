// The two windows as a user meets them: where they are, what they show, and
// how they answer the mouse and the keyboard.
#include <gtest/gtest.h>

#include "tests/e2e/session.h"

namespace e2e {
namespace {

int Width(const RECT& r) { return r.right - r.left; }
bool Has(LONG style, DWORD bits) { return (static_cast<DWORD>(style) & bits) != 0; }
int Height(const RECT& r) { return r.bottom - r.top; }

TEST(MainWindow, IsABorderlessTopmostLabelCentredOnTheScreen) {
  Session s;
  ASSERT_SESSION(s);
  EXPECT_FALSE(SaveWindowShot(s.main, L"main_window").empty());
  EXPECT_EQ(Text(s.main), L"澜珂倒计时");
  EXPECT_FALSE(Has(Style(s.main), (WS_CAPTION | WS_THICKFRAME)));
  EXPECT_TRUE(Has(Style(s.main), WS_POPUP));
  EXPECT_TRUE(Has(ExStyle(s.main), WS_EX_TOPMOST));
  // Layered from the start, even when opaque: that one style replaces the
  // rest. With no owner, it keeps its own taskbar button all the same.
  EXPECT_EQ(static_cast<DWORD>(ExStyle(s.main)), DWORD{WS_EX_LAYERED | WS_EX_TOPMOST});
  EXPECT_EQ(Owner(s.main), nullptr);
  BYTE alpha = 0;
  EXPECT_TRUE(LayeredAlpha(s.main, &alpha));
  EXPECT_EQ(alpha, 255);

  const RECT r = WindowRect(s.main);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(r.left, (screenWidth - 280) / 2);
  EXPECT_EQ(r.top, (screenHeight - 142) / 2);  // centred by its laid-out height, then fitted to the label
  EXPECT_EQ(Width(r), 280);
  EXPECT_EQ(Height(r), 90);

  const HWND label = s.Label();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(Text(label), L"05-00");
  EXPECT_EQ(WindowRect(label).left, r.left);
  EXPECT_EQ(ScreenPixel(r.left + 100, r.top), RGB(0, 0, 0));  // one-pixel black frame
  EXPECT_EQ(ScreenPixel(r.left + 100, r.top + 89), RGB(0, 0, 0));
  EXPECT_EQ(ScreenPixel(r.left + 3, r.top + 45), RGB(0, 255, 0));  // pure green middle row
  for (int y : {r.top + 1, r.top + 88}) {
    const COLORREF c = ScreenPixel(r.left + 3, y);
    EXPECT_GE(GetRValue(c), 245) << "near-white edge row " << y - r.top;
    EXPECT_GE(GetBValue(c), 245);
  }
}

TEST(SettingsWindow, SitsBelowTheMainWindowWithEveryControlInPlace) {
  Session s;
  ASSERT_SESSION(s);
  // The picture once the last controls have painted: the font box's white
  // inside and the green swatch of the background colour.
  const RECT font = WindowRect(s.Ctl(id::kFontBox)), swatch = WindowRect(s.Ctl(id::kBackColour));
  EXPECT_TRUE(WaitUntil([&] {
    return ScreenPixel(font.left + 4, font.top + 4) == RGB(255, 255, 255) &&
           ScreenPixel(swatch.left + 8, (swatch.top + swatch.bottom) / 2) == RGB(0, 255, 0);
  }));
  EXPECT_FALSE(SaveWindowShot(s.settingsWindow, L"settings_window").empty());
  EXPECT_FALSE(Has(ExStyle(s.settingsWindow), WS_EX_APPWINDOW));
  EXPECT_NE(Owner(s.settingsWindow), nullptr);  // a hidden owner: no taskbar button
  EXPECT_FALSE(Has(Style(s.settingsWindow), WS_CAPTION));
  EXPECT_TRUE(Has(ExStyle(s.settingsWindow), WS_EX_TOPMOST));
  const RECT main = WindowRect(s.main), r = WindowRect(s.settingsWindow);
  EXPECT_EQ(Width(r), 330);
  EXPECT_EQ(Height(r), 148);
  EXPECT_EQ(r.top, main.top + Height(main) + 10);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 330) / 2);

  struct Expected {
    uint32_t id;
    const wchar_t* text;
    int left, top, width, height;
  };
  const Expected controls[] = {
      {id::kTitle, L" 选项设置窗口 [提示：用滚轮可以调节时间、宽高度及字体]", 0, 0, 330, 24},
      {id::kBody, L"", 0, 23, 330, 125},
      {id::kStart, L"开始计时", 5, 29, 70, 28},
      {id::kReset, L"归零", 74, 29, 38, 28},
      {0x160112C9, L"倒计时间：", 121, 32, 56, 24},
      {id::kTimeBox, L"5", 180, 32, 34, 22},
      {0x160112C8, L"分钟", 217, 32, 24, 24},
      {id::kClose, L"关闭", 250, 29, 38, 28},
      {id::kHide, L"隐藏", 287, 29, 38, 28},
      {id::kTranslucent, L"半透明", 8, 66, 59, 16},
      {id::kApplause, L"到时后鼓掌", 75, 66, 80, 16},
      {id::kWarning, L"警告音", 180, 66, 56, 16},
      {id::kAutoHide, L"自动隐藏", 251, 66, 70, 16},
      {0x160112D0, L"窗口宽度：", 8, 90, 56, 24},
      {id::kWidthBox, L"280", 69, 92, 39, 20},
      {0x16011339, L"窗口高度：", 121, 90, 56, 24},
      {id::kHeightBox, L"90", 180, 92, 39, 20},
      {0x160112F0, L"字体大小：", 226, 90, 56, 24},
      {id::kFontBox, L"72", 284, 92, 39, 20},
      {0x160112F3, L"背景颜色：", 8, 119, 56, 24},
      {id::kBackColour, L"", 69, 121, 92, 20},
      {0x160112F4, L"文字颜色：", 174, 119, 56, 24},
      {id::kTextColour, L"", 233, 123, 92, 20},
  };
  for (const Expected& e : controls) {
    SCOPED_TRACE(Utf8(e.text));
    const HWND c = s.Ctl(e.id);
    ASSERT_NE(c, nullptr) << std::hex << e.id;
    EXPECT_EQ(Text(c), e.text);
    const RECT cr = WindowRect(c);
    EXPECT_EQ(cr.left - r.left, e.left);
    EXPECT_EQ(cr.top - r.top, e.top);
    EXPECT_EQ(Width(cr), e.width);
    EXPECT_EQ(Height(cr), e.height);
    EXPECT_TRUE(Enabled(c));  // a valid time is loaded, so even the start button is enabled
  }
  EXPECT_EQ(CheckState(s.Ctl(id::kTranslucent)), BST_UNCHECKED);
  EXPECT_EQ(CheckState(s.Ctl(id::kApplause)), BST_CHECKED);
}

TEST(MainWindow, DoubleClickTogglesTheSettingsWindowAndDragMovesIt) {
  Session s;
  ASSERT_SESSION(s);
  DoubleClick(s.Label());
  EXPECT_TRUE(WaitUntil([&] { return !Visible(s.settingsWindow); }));
  DoubleClick(s.Label());
  EXPECT_TRUE(WaitUntil([&] { return Visible(s.settingsWindow); }));

  const RECT before = WindowRect(s.main);
  const POINT from = Centre(before);
  Drag(from, {from.x - 150, from.y + 70});
  EXPECT_TRUE(WaitUntil([&] { return WindowRect(s.main).left == before.left - 150; }));
  const RECT after = WindowRect(s.main);
  EXPECT_EQ(after.left, before.left - 150);
  EXPECT_EQ(after.top, before.top + 70);
  EXPECT_EQ(Width(after), 280);
  EXPECT_TRUE(s.program.Running());
}

TEST(Keyboard, EscHidesTheSettingsWindowAndEndsTheProgramFromTheMainWindow) {
  Session s;
  ASSERT_SESSION(s);
  Click(s.Ctl(id::kWidthBox));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !Visible(s.settingsWindow); }));
  EXPECT_TRUE(s.program.Running());

  Click(s.Label());
  PressKey(VK_ESCAPE);
  DWORD code = 99;
  ASSERT_TRUE(s.program.WaitExit(5000, &code));
  EXPECT_EQ(code, 0u);
}

TEST(Buttons, HideButtonHidesAndCloseButtonEndsWithExitCodeZero) {
  Session s;
  ASSERT_SESSION(s);
  Click(s.Ctl(id::kHide));
  EXPECT_TRUE(WaitUntil([&] { return !Visible(s.settingsWindow); }));
  DoubleClick(s.Label());
  ASSERT_TRUE(WaitUntil([&] { return Visible(s.settingsWindow); }));
  Click(s.Ctl(id::kClose));
  DWORD code = 99;
  ASSERT_TRUE(s.program.WaitExit(5000, &code));
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace e2e
