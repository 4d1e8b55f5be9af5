// The window facility's rules as the routines rely on them: which property
// writes raise events, the timer's interval, the decimal box's rewrite on
// focus loss, and the main window keeping the label's size.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/host/fakes.h"

namespace {

using namespace test;

// A window whose every control has every event bound, each noting what ran.
std::vector<std::pair<uint32_t, ui::EventKind>> g_raised;
template <uint32_t Id, ui::EventKind K>
void Note(void*, const ui::Event&) {
  g_raised.emplace_back(Id, K);
}
// clang-format off
constexpr uint32_t kLabel = 0x16000001, kButton = 0x16000002, kBox = 0x16000003, kPicker = 0x16000004,
                   kEdit = 0x16000005;
constexpr ui::ControlLayout kProbeControls[] = {
    {.id = kLabel, .kind = ui::Kind::Label},   {.id = kButton, .kind = ui::Kind::Button},
    {.id = kBox, .kind = ui::Kind::CheckBox},  {.id = kPicker, .kind = ui::Kind::ColorPicker},
    {.id = kEdit, .kind = ui::Kind::EditBox},
};
#define EVERY_EVENT(id)                                                          \
  {id, ui::EventKind::ContentChanged, Note<id, ui::EventKind::ContentChanged>}, \
      {id, ui::EventKind::Clicked, Note<id, ui::EventKind::Clicked>},           \
      {id, ui::EventKind::ColourChanged, Note<id, ui::EventKind::ColourChanged>}
constexpr ui::Binding kProbeBindings[] = {EVERY_EVENT(kLabel), EVERY_EVENT(kButton), EVERY_EVENT(kBox),
                                          EVERY_EVENT(kPicker), EVERY_EVENT(kEdit)};
#undef EVERY_EVENT
const ui::WindowLayout kProbeLayout{0x52000001, 0x06000000, "", 100, 100, ui::kNoColour, false, false, false,
                                    false, kProbeControls, {}};
// clang-format on

TEST(Facility, OnlyAnEditBoxRaisesAnEventWhenCodeChangesIt) {
  Harness h;
  ui::Window& w = *h.facility.Load({kProbeLayout, kProbeBindings}, false);
  g_raised.clear();
  for (uint32_t id : {kLabel, kButton, kBox, kPicker}) h.facility.SetText(w.Get(id), "暂停计时");
  h.facility.SetChecked(w.Get(kBox), true);
  h.facility.SetColour(w.Get(kPicker), 0x123456);
  EXPECT_TRUE(g_raised.empty());
  h.facility.SetText(w.Get(kEdit), "123");
  EXPECT_EQ(g_raised, (decltype(g_raised){{kEdit, ui::EventKind::ContentChanged}}));

  // What the user does raises its event once; a colour picked again changes nothing.
  g_raised.clear();
  h.facility.UserToggled(w.Get(kBox), false);
  h.facility.UserPickedColour(w.Get(kPicker), 0x654321);
  h.facility.UserPickedColour(w.Get(kPicker), 0x654321);
  EXPECT_EQ(g_raised, (decltype(g_raised){{kBox, ui::EventKind::Clicked}, {kPicker, ui::EventKind::ColourChanged}}));
  EXPECT_EQ(w.Get(kPicker).colour, 0x654321u);
}

TEST(Facility, TimerIntervalReachesTheBackendOnlyWhenItChanges) {
  Harness h;
  const auto before = h.backend.arms.size();
  h.facility.SetInterval(h.Clock(), -5);  // counts as 0, which it already is
  EXPECT_EQ(h.backend.arms.size(), before);
  h.facility.SetInterval(h.Clock(), 1000);
  h.facility.SetInterval(h.Clock(), 1000);  // a running period is not restarted
  EXPECT_EQ(h.backend.arms.size(), before + 1);
  EXPECT_EQ(h.Clock().interval, 1000);
}

// The system's timer goes off once the armed wait is over, often a little
// late; the count must still keep to the clock.
struct TimedHarness : Harness {
  explicit TimedHarness(const char* minutes) : Harness(Entries{{"时间", minutes}}) {}
  // The armed wait runs out `late` ms late, and the timer's message is handled.
  void FireLate(int64_t late) {
    backend.now += backend.arms.back().second + late;
    facility.TimerFired(Main(), m::时钟1);
  }
  void StallAndFire(int64_t ms) {
    backend.now += ms;
    facility.TimerFired(Main(), m::时钟1);
  }
};

TEST(Facility, TheTimerKeepsToItsScheduleHoweverLateItFires) {
  TimedHarness h("61");
  h.Click(s::开始计时按钮);  // 60-59 at once
  const int64_t start = h.backend.now;
  std::mt19937 random(15);
  for (int k = 1; k <= 3600; ++k) {
    h.FireLate(static_cast<int64_t>(random() % 17));
    ASSERT_LE(h.backend.now - (start + k * 1000), 16) << "event " << k << " has drifted";
  }
  EXPECT_EQ(h.Display(), "00-59") << "one event a fire";
}

TEST(Facility, TheTimerCatchesUpAfterAStallButNotAcrossAStopAndStart) {
  TimedHarness h("0.2");
  h.Click(s::开始计时按钮);  // 00-11: 00-00 is due 11 s from here
  h.FireLate(0);
  h.FireLate(0);
  h.StallAndFire(3500);  // held up 2 s in, for 3.5 s
  EXPECT_EQ(h.Display(), "00-06");
  while (h.Display() != "00-00") h.FireLate(0);
  EXPECT_EQ(h.backend.now, 11000);

  TimedHarness p("5");
  p.Click(s::开始计时按钮);                   // 04-59
  p.backend.now += 2500;                      // two instants missed...
  p.Click(s::开始计时按钮);                   // ...then paused (04-58)
  p.Click(s::开始计时按钮);                   // and continued (04-57)
  p.facility.TimerFired(p.Main(), m::时钟1);  // a late message of the old run
  EXPECT_EQ(p.Display(), "04-57");
  p.FireLate(0);
  EXPECT_EQ(p.Display(), "04-56");
  EXPECT_EQ(p.backend.now, 3500);

  // Back after two hours: a minute's instants at most, not a storm of 7,200.
  TimedHarness l("200");
  l.Click(s::开始计时按钮);  // 199 minutes 59 seconds
  l.StallAndFire(7'200'000);
  EXPECT_EQ(l.Display(), "98-58");  // 61 seconds later
}

// A routine may wait (a beep series) and handle the timer's later events
// itself meanwhile, so each event finds the timer armed for the next one.
TEST(Facility, TheTimerIsArmedForTheNextEventBeforeEachEvent) {
  TimedHarness h("0.3");     // 18 seconds
  h.Click(s::开始计时按钮);  // 00-17
  h.FireLate(0);             // 00-16
  const size_t before = h.backend.arms.size();
  std::vector<size_t> armedSince;
  h.delay.meanwhile = [&] { armedSince.push_back(h.backend.arms.size() - before); };
  h.FireLate(0);  // 00-15: nine beeps, a wait after each
  EXPECT_EQ(armedSince, std::vector<size_t>(9, 1));
  EXPECT_EQ(h.backend.arms[before].second, 1000);
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

// A touchpad turns the wheel by less than a notch: the steps add up, box by
// box, and start afresh when turned back or once the box loses the focus.
TEST(Facility, WheelStepsAddUpToWholeNotchesInEachBox) {
  Harness h;
  ui::Control &width = h.Box(s::窗口宽度编辑框), &height = h.Box(s::窗口高度编辑框);
  const auto turn = [&h](ui::Control& box, std::initializer_list<int> deltas) {
    for (const int delta : deltas) h.facility.UserTurnedWheel(box, delta, {});
    return box.text;
  };
  EXPECT_EQ(turn(width, {40, 40}), "280");
  EXPECT_EQ(turn(width, {40}), "281");
  EXPECT_EQ(turn(width, {100}), "281");
  EXPECT_EQ(turn(height, {30}), "90");
  EXPECT_EQ(turn(width, {20}), "282");
  EXPECT_EQ(turn(width, {60, -60, -60}), "281");
  EXPECT_EQ(turn(width, {100}), "281");
  h.facility.LostFocus(width);
  EXPECT_EQ(turn(width, {20}), "281");
  // Short of a notch, the box is still rewritten as its whole number and saved.
  h.facility.UserEdited(width, "12.7");
  EXPECT_EQ(turn(width, {40}), "12");
  EXPECT_EQ(h.store.writes.back(), (std::pair<std::string, std::string>{"窗口宽度", "12"}));
}

TEST(Facility, MainWindowTakesTheLabelSizeAfterAUserResize) {
  Harness h;
  ui::Window& main = h.Main();
  EXPECT_EQ(h.Settings().top, main.top + main.height + 10);  // placed just below
  for (int dx : {5, 0}) {                                    // resized while moved, and resized in place
    h.backend.windowUpdates.clear();
    h.facility.WindowMoved(main, main.left + dx, main.top, 500, 300);
    EXPECT_EQ(main.width, 280) << dx;
    EXPECT_EQ(main.height, 90) << dx;
    ASSERT_FALSE(h.backend.windowUpdates.empty()) << dx;
    const auto& last = h.backend.windowUpdates.back();
    EXPECT_EQ(last.window, m::kId);
    EXPECT_EQ(last.width, 280);
    EXPECT_EQ(last.height, 90);
  }
}

TEST(Facility, TabWalksTheUsableTabStopsInLayoutOrderAndWraps) {
  Harness h;
  ui::Window& w = h.Settings();
  const std::vector<uint32_t> order = {s::开始计时按钮,   s::时间归零按钮,   s::时间编辑框,       s::关闭程序按钮,
                                       s::隐藏按钮,       s::半透明选择框,   s::到时后鼓掌选择框, s::警告音选择框,
                                       s::自动隐藏选择框, s::窗口宽度编辑框, s::窗口高度编辑框,   s::字体大小编辑框,
                                       s::背景颜色选择器, s::文字颜色选择器};
  auto walk = [&w](bool backward) {
    std::vector<uint32_t> seen;
    const ui::Control* at = nullptr;  // from the window itself
    for (size_t i = 0; i < 15; ++i) {
      at = ui::NextTabStop(w, at, backward);
      seen.push_back(at ? at->id() : 0);
    }
    return seen;
  };
  std::vector<uint32_t> forward = order, backward(order.rbegin(), order.rend());
  forward.push_back(order.front());
  backward.push_back(order.back());
  EXPECT_EQ(walk(false), forward);
  EXPECT_EQ(walk(true), backward);
  // From a control that is no tab stop, the walk goes on from its place.
  EXPECT_EQ(ui::NextTabStop(w, &w.Get(s::标签3), false)->id(), s::窗口宽度编辑框);
  EXPECT_EQ(ui::NextTabStop(w, &w.Get(s::标签3), true)->id(), s::自动隐藏选择框);

  // While the count runs the time box is disabled and skipped.
  h.Click(s::开始计时按钮);
  EXPECT_EQ(ui::NextTabStop(w, &w.Get(s::时间归零按钮), false)->id(), s::关闭程序按钮);
  EXPECT_EQ(ui::NextTabStop(h.Main(), nullptr, false), nullptr);  // the main window has no tab stop
}

TEST(Facility, ModalLoadDisablesTheOtherWindowsAndGivesTheirStatesBackBeforeItCloses) {
  using States = std::vector<std::pair<uint32_t, bool>>;
  Harness h;
  h.facility.SetEnabled(h.Settings(), false);
  ui::Window* handle = &h.Main();
  EXPECT_EQ(h.facility.Load(kProgramWindows.about, true, &handle), nullptr);
  EXPECT_EQ(handle, nullptr);  // gone once the modal load returns
  EXPECT_EQ(h.backend.enabledDuringModal, (States{{m::kId, false}, {s::kId, false}}));
  // Given back before the window goes, so that the system activates one of ours.
  EXPECT_EQ(h.backend.destroyed, std::vector<uint32_t>{about_window::kId});
  EXPECT_EQ(h.backend.enabledAtDestroy, (States{{m::kId, true}, {s::kId, false}}));
  EXPECT_TRUE(h.Main().enabled);
  EXPECT_FALSE(h.Settings().enabled);
  EXPECT_EQ(h.facility.windows().size(), 2u);
}

TEST(Facility, ModalLoadTouchesNoWindowThatWentMeanwhile) {
  Harness h;
  h.backend.duringModal = [&h](ui::Window& about) {
    EXPECT_TRUE(about.alive);
    h.facility.Unloaded(h.Settings());  // its record is freed here
  };
  EXPECT_EQ(h.facility.Load(kProgramWindows.about, true), nullptr);
  EXPECT_TRUE(h.Main().enabled);
  ASSERT_EQ(h.facility.windows().size(), 1u);
  EXPECT_EQ(h.facility.windows().front().get(), &h.Main());
}

TEST(Facility, AWindowThatCannotBeCreatedRaisesNothingAndIsNotKept) {
  Harness h;
  h.backend.failToCreate = {about_window::kId};
  h.store.writes.clear();
  ui::Window* handle = &h.Main();
  for (bool modal : {false, true}) {
    EXPECT_EQ(h.facility.Load(kProgramWindows.about, modal, &handle), nullptr) << modal;
    EXPECT_EQ(handle, nullptr);
  }
  EXPECT_TRUE(h.backend.enabledDuringModal.empty());  // no modal loop for a window that is not there
  EXPECT_TRUE(h.Main().enabled);
  EXPECT_EQ(h.facility.windows().size(), 2u);
}

}  // namespace
