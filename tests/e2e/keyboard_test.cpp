// The keyboard and a held mouse button as a user meets them: Tab through the
// settings window, Esc during a drag, and both while the warning beeps sound.
#include <gtest/gtest.h>

#include "tests/e2e/session.h"

namespace e2e {
namespace {

uint32_t FocusedId(const Session& s) {
  const HWND focus = Focus(s.settingsWindow);
  return focus ? static_cast<uint32_t>(GetWindowLongW(focus, GWL_ID)) : 0;
}

TEST(Keyboard, TabCyclesTheSettingsWindowAndTheFocusComesBackWithIt) {
  Session s;
  ASSERT_SESSION(s);
  Click(s.Ctl(id::kTimePrompt));  // a label: the window itself has the focus
  PressKey(VK_TAB);
  EXPECT_TRUE(WaitUntil([&] { return FocusedId(s) == id::kStart; }));
  PressKeys({VK_SHIFT, VK_TAB});
  EXPECT_TRUE(WaitUntil([&] { return FocusedId(s) == id::kTextColour; })) << "Shift+Tab wraps to the last";
  PressKey(VK_TAB);
  EXPECT_TRUE(WaitUntil([&] { return FocusedId(s) == id::kStart; })) << "Tab wraps to the first";
  const uint32_t order[] = {id::kReset,    id::kTimeBox, id::kClose,    id::kHide,    id::kTranslucent,
                            id::kApplause, id::kWarning, id::kAutoHide, id::kWidthBox};
  for (uint32_t next : order) {
    PressKey(VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return FocusedId(s) == next; })) << std::hex << next;
  }
  TypeText(L"300");  // Tab selected the box's text, so typing replaces it
  EXPECT_TRUE(WaitText(s.Ctl(id::kWidthBox), L"300"));
  EXPECT_TRUE(s.WaitFileHas(L"窗口宽度=300"));

  // Over to the main window and back by a click on the title: the box has the focus again.
  Click(s.Label());
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == s.main; }));
  Click(s.Ctl(id::kTitle));
  EXPECT_TRUE(WaitUntil([&] { return FocusedId(s) == id::kWidthBox; }));
}

TEST(Keyboard, EscDuringADragPutsTheWindowBackAndDoesNothingElse) {
  Session s;
  ASSERT_SESSION(s);
  const RECT before = WindowRect(s.main);
  const POINT from = Centre(before), to{from.x - 120, from.y + 60};
  MouseDown(from);
  MoveMouseSteps(from, to);
  ASSERT_TRUE(WaitUntil([&] { return WindowRect(s.main).left == before.left - 120; })) << "the drag moves it";
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return WindowRect(s.main).left == before.left; }));
  MoveMouseSteps(to, {to.x + 30, to.y});  // the button is still down: nothing follows it now
  MouseUp({to.x + 30, to.y});
  Sleep(300);
  const RECT after = WindowRect(s.main);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_TRUE(s.program.Running());
  EXPECT_TRUE(Visible(s.settingsWindow));
  EXPECT_EQ(Text(s.Label()), L"05-00");
}

TEST(Keyboard, TabAndEscWorkWhileTheWarningBeepsSound) {
  Session s;
  ASSERT_SESSION(s);
  TypeInto(s.Ctl(id::kTimeBox), L"0.27");  // 16 seconds
  ASSERT_TRUE(WaitText(s.Label(), L"00-16"));
  // The press takes a second at once: "00-15" starts nine beeps, 1.8 s of waiting.
  Click(s.Ctl(id::kStart));
  ASSERT_TRUE(WaitText(s.Label(), L"00-15", 500));
  PressKey(VK_TAB);  // from the start button; the time box is disabled while counting
  EXPECT_TRUE(WaitUntil([&] { return FocusedId(s) == id::kReset; }, 600));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !Visible(s.settingsWindow); }, 600));
  EXPECT_TRUE(WaitText(s.Label(), L"00-13", 3000)) << "the count goes on";
  EXPECT_TRUE(s.program.Running());
}

}  // namespace
}  // namespace e2e
