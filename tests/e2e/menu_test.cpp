// The pop-up menu over the time label, worked by keyboard as a user may, and
// the count that goes on through the warning beeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/e2e/session.h"

namespace e2e {
namespace {

TEST(PopUpMenu, RunsTheCountdownCommandsOptionsAndSettingsWindow) {
  Session s;
  ASSERT_SESSION(s);
  Menu menu(s);
  const std::vector<COLORREF> startLine = menu.Open(L"menu_start");
  ASSERT_NE(menu.window(), nullptr) << "no #32768 menu window";
  const RECT r = WindowRect(menu.window());
  const POINT cursor = Centre(s.Label());
  EXPECT_EQ(r.left, cursor.x + 3);
  EXPECT_EQ(r.top, cursor.y + 3);
  menu.Choose(kStartItem);
  EXPECT_TRUE(WaitText(s.Ctl(id::kStart), L"暂停计时"));
  EXPECT_TRUE(WaitText(s.Label(), L"04-59", 900));

  const std::vector<COLORREF> pauseLine = menu.Open(L"menu_pause");
  menu.Choose(kStartItem);
  EXPECT_TRUE(WaitText(s.Ctl(id::kStart), L"继续计时"));
  const std::vector<COLORREF> continueLine = menu.Open(L"menu_continue");
  EXPECT_TRUE(menu.Close());        // closed without a choice: nothing runs
  EXPECT_NE(startLine, pauseLine);  // the first item shows the button's caption each time
  EXPECT_NE(pauseLine, continueLine);
  EXPECT_NE(startLine, continueLine);
  EXPECT_EQ(Text(s.Ctl(id::kStart)), L"继续计时");

  menu.Pick(kResetItem);
  EXPECT_TRUE(WaitText(s.Label(), L"05-00"));
  EXPECT_TRUE(WaitText(s.Ctl(id::kStart), L"开始计时"));

  // Options: box, mark and file agree.
  menu.Pick(kTranslucentItem);
  EXPECT_TRUE(WaitUntil([&] { return CheckState(s.Ctl(id::kTranslucent)) == BST_CHECKED; }));
  EXPECT_TRUE(s.WaitFileHas(L"半透明=是"));
  menu.Pick(kApplauseItem);
  EXPECT_TRUE(WaitUntil([&] { return CheckState(s.Ctl(id::kApplause)) == BST_UNCHECKED; }));
  EXPECT_TRUE(s.WaitFileHas(L"鼓掌=否"));

  menu.Pick(kShowSettingsItem);
  EXPECT_TRUE(WaitUntil([&] { return !Visible(s.settingsWindow); }));
  menu.Pick(kShowSettingsItem);
  EXPECT_TRUE(WaitUntil([&] { return Visible(s.settingsWindow); }));

  menu.Pick(kEnterTimeItem);
  const HWND box = s.program.WaitVisibleWindow(L"请输入：");
  ASSERT_NE(box, nullptr);
  const std::vector<HWND> inside = Descendants(box);
  const auto entry =
      std::find_if(inside.begin(), inside.end(), [](HWND w) { return _wcsicmp(ClassName(w).c_str(), L"Edit") == 0; });
  ASSERT_NE(entry, inside.end());
  ASSERT_TRUE(WaitReadyToReplace(*entry)) << "the entry comes selected, ready to be typed over";
  TypeText(L"7.9\r");
  EXPECT_TRUE(WaitText(s.Label(), L"07-00"));
  EXPECT_EQ(Text(s.Ctl(id::kTimeBox)), L"7");
}

TEST(PopUpMenu, CloseEndsTheProgramWithExitCodeZeroAndSavesNothing) {
  Session s;
  ASSERT_SESSION(s);
  ASSERT_TRUE(s.WaitFileHas(L"时间=5"));
  const std::string before = s.program.SettingsBytes();
  Menu(s).Pick(kCloseItem);
  DWORD code = 99;
  ASSERT_TRUE(s.program.WaitExit(5000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(s.program.SettingsBytes(), before);
}

TEST(Warning, TheCountKeepsTimeThroughTheBeepSeries) {
  Session s;
  ASSERT_SESSION(s);
  TypeInto(s.Ctl(id::kTimeBox), L"0.54");  // 32 seconds: through 00-30 (six beeps) and 00-15 (nine)
  ASSERT_TRUE(WaitText(s.Label(), L"00-32"));
  Click(s.Ctl(id::kStart));
  ASSERT_TRUE(WaitText(s.Label(), L"00-31", 500));
  std::wstring shown = Text(s.Label());
  DWORD changed = GetTickCount(), longest = 0;
  std::vector<std::wstring> seen{shown};
  while (shown != L"00-12" && GetTickCount() - changed < 3000) {
    Sleep(20);
    const std::wstring now = Text(s.Label());
    if (now == shown) continue;
    longest = std::max<DWORD>(longest, GetTickCount() - changed);
    changed = GetTickCount();
    shown = now;
    seen.push_back(now);
  }
  EXPECT_EQ(shown, L"00-12");
  EXPECT_EQ(seen.size(), 20u);  // every second from 00-31 to 00-12, none skipped
  EXPECT_LE(longest, 1300u);
}

}  // namespace
}  // namespace e2e
