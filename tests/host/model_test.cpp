// The window facility's rules as the routines rely on them: which property
// writes raise events, the timer's interval, the decimal box's rewrite on
// focus loss, and the main window keeping the label's size.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/host/fakes.h"

namespace {

using namespace test;

TEST(Facility, EditBoxTextFromCodeRaisesItsChangeRoutineOnce) {
  Harness h;
  h.store.writes.clear();
  h.facility.SetText(h.Box(s::窗口宽度编辑框), "123");
  EXPECT_EQ(h.store.writes, (Entries{{"窗口宽度", "123"}}));
  EXPECT_EQ(h.Label().width, 123);
  // Captions, check states and colours set from code raise nothing.
  h.store.writes.clear();
  h.facility.SetText(h.StartButton(), "暂停计时");
  h.facility.SetChecked(h.Box(s::警告音选择框), false);
  h.facility.SetColour(h.Box(s::背景颜色选择器), 0x123456);
  EXPECT_TRUE(h.store.writes.empty());
  EXPECT_TRUE(h.Item(m::警告音菜单).checked);
  EXPECT_NE(h.Label().gradientMiddle, 0x123456u);
}

TEST(Facility, TimerIntervalReachesTheBackendOnlyWhenItChanges) {
  Harness h;
  auto sent = [&h] { return std::count(h.backend.updates.begin(), h.backend.updates.end(),
                                       std::pair{m::时钟1, ui::Prop::Interval}); };
  const auto before = sent();
  h.facility.SetInterval(h.Clock(), -5);  // counts as 0, which it already is
  EXPECT_EQ(sent(), before);
  h.facility.SetInterval(h.Clock(), 1000);
  h.facility.SetInterval(h.Clock(), 1000);  // a running period is not restarted
  EXPECT_EQ(sent(), before + 1);
  EXPECT_EQ(h.Clock().interval, 1000);
}

TEST(Facility, DecimalBoxIsRewrittenWhenItLosesTheFocus) {
  Harness h;
  ui::Control& box = h.Box(s::时间编辑框);
  auto focusLost = [&h](ui::Control& c, const char* typed) {
    h.facility.UserEdited(c, typed);
    h.store.writes.clear();
    h.facility.LostFocus(c);
    return c.text;
  };
  EXPECT_EQ(focusLost(box, "1.50"), "1.5");
  EXPECT_EQ(h.store.writes, (Entries{{"时间", "1.5"}}));  // applied once more
  EXPECT_EQ(focusLost(box, "1.5"), "1.5");
  EXPECT_TRUE(h.store.writes.empty());  // already in that form: no event
  EXPECT_EQ(focusLost(box, "0"), "");
  EXPECT_EQ(h.store.writes, (Entries{{"时间", ""}}));
  EXPECT_FALSE(h.StartButton().enabled);
  // Integer boxes keep their text as typed.
  EXPECT_EQ(focusLost(h.Box(s::窗口宽度编辑框), "0120"), "0120");
  EXPECT_TRUE(h.store.writes.empty());
}

TEST(Facility, MainWindowTakesTheLabelSizeAfterAUserResize) {
  Harness h;
  ui::Window& main = h.Main();
  EXPECT_EQ(h.Settings().top, main.top + main.height + 10);  // placed just below
  h.facility.WindowMoved(main, main.left + 5, main.top, 500, 300);
  EXPECT_EQ(main.width, 280);
  EXPECT_EQ(main.height, 90);
  const auto& last = h.backend.windowUpdates.back();
  EXPECT_EQ(last.window, m::kId);
  EXPECT_EQ(last.width, 280);
  EXPECT_EQ(last.height, 90);
}

TEST(Facility, ModalLoadDisablesTheOtherWindowsAndGivesTheirStatesBack) {
  Harness h;
  h.facility.SetEnabled(h.Settings(), false);
  ui::Window* handle = &h.Main();
  EXPECT_EQ(h.facility.Load(kAboutWindowLayout, true, &handle), nullptr);
  EXPECT_EQ(handle, nullptr);  // gone once the modal load returns
  EXPECT_EQ(h.backend.enabledDuringModal,
            (std::vector<std::pair<uint32_t, bool>>{{m::kId, false}, {s::kId, false}}));
  EXPECT_TRUE(h.Main().enabled);
  EXPECT_FALSE(h.Settings().enabled);
  EXPECT_EQ(h.facility.windows().size(), 2u);
}

}  // namespace
