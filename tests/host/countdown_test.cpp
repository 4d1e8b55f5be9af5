// The countdown as the user drives it: time entries, the wheel, start, pause,
// continue, reset, the input box, the warning beeps and the end at zero.
#include <gtest/gtest.h>

#include "settings/settings_file.h"
#include "tests/host/fakes.h"

namespace {

using namespace test;

constexpr char kStart[] = "开始计时", kPause[] = "暂停计时", kContinue[] = "继续计时";

// The caption of the button and of its menu item, the timer, the display and
// whether the time entry can be edited.
void ExpectState(Harness& h, const char* caption, int interval, const char* display, bool editable) {
  EXPECT_EQ(h.StartButton().text, caption);
  EXPECT_EQ(h.Item(m::开始计时菜单).caption, caption);
  EXPECT_EQ(h.Clock().interval, interval);
  EXPECT_EQ(h.Display(), display);
  EXPECT_EQ(h.Box(s::时间编辑框).enabled, editable);
}

TEST(TimeEntry, ValidEntriesSetTheDisplayAndAreSaved) {
  Harness h;
  for (const auto& [entry, display] : {KeyValue{"5", "05-00"},
                                       {"0.5", "00-30"},
                                       {"2.5", "02-30"},
                                       {"1.75", "01-45"},
                                       {"0.999", "00-59"},
                                       {"120", "20-00"},
                                       {"１０", "10-00"}}) {
    h.Type(s::时间编辑框, entry);
    EXPECT_EQ(h.Display(), display) << entry;
    EXPECT_TRUE(h.StartButton().enabled) << entry;
    EXPECT_EQ(h.store.writes.back(), (KeyValue{"时间", entry}));
  }
}

TEST(TimeEntry, InvalidEntriesDisableStartKeepTheDisplayAndAreSavedAsTyped) {
  Harness h;
  h.Type(s::时间编辑框, "3");
  for (const char* entry : {"0", "-3", "", "abc", "0.0000001"}) {
    h.Type(s::时间编辑框, entry);
    EXPECT_EQ(h.Display(), "03-00") << entry;
    EXPECT_FALSE(h.StartButton().enabled) << entry;
    EXPECT_EQ(h.store.writes.back(), (KeyValue{"时间", entry}));
  }
  h.Choose(m::开始计时菜单);  // nothing to start
  ExpectState(h, kStart, 0, "03-00", true);
}

TEST(TimeEntry, WheelAddsWholeMinutesAndNeverGoesBelowOne) {
  struct Case {
    const char* before;
    int notches;
    const char* after;
    const char* display;
  };
  for (const Case& c : {Case{"1", -1, "1", "01-00"},
                        {"2.5", 1, "3", "03-00"},
                        {"12.7", 1, "13", "13-00"},
                        {"abc", 1, "1", "01-00"},
                        {"abc", -1, "1", "01-00"},
                        {"5", 2, "7", "07-00"}}) {
    Harness h;
    h.Type(s::时间编辑框, c.before);
    h.Wheel(s::时间编辑框, c.notches);
    EXPECT_EQ(h.Box(s::时间编辑框).text, c.after) << c.before << " " << c.notches;
    EXPECT_EQ(h.Display(), c.display) << c.before << " " << c.notches;
    EXPECT_TRUE(h.StartButton().enabled);
    EXPECT_EQ(h.store.writes.back(), (KeyValue{"时间", c.after}));
  }
}

TEST(Countdown, StartPauseAndContinueEachCostASecond) {
  Harness h;
  h.Click(s::开始计时按钮);
  ExpectState(h, kPause, 1000, "04-59", false);
  h.Tick();
  EXPECT_EQ(h.Display(), "04-58");
  h.Choose(m::开始计时菜单);
  ExpectState(h, kContinue, 0, "04-57", false);
  h.Click(s::开始计时按钮);
  ExpectState(h, kPause, 1000, "04-56", false);
  for (int i = 0; i < 10; ++i) {
    h.Click(s::开始计时按钮);
    h.Choose(m::开始计时菜单);
  }
  ExpectState(h, kPause, 1000, "04-36", false);  // ten pairs: twenty seconds
}

TEST(Countdown, ReachingZeroStopsAndSwitchesTheDesktopOptionsOff) {
  // With and without applause; with the two options on, or off already,
  // when they are left alone and nothing is saved.
  for (const auto& [applause, on] : {std::pair{true, true}, {false, true}, {true, false}}) {
    Harness h(Entries{{"鼓掌", YesNoText(applause)}, {"自动隐藏", YesNoText(on)}});
    h.Toggle(s::半透明选择框, on);
    h.Type(s::时间编辑框, "0.05");  // 3 seconds
    h.Click(s::开始计时按钮);
    h.Tick();
    h.store.writes.clear();
    h.desktop.calls.clear();
    EXPECT_EQ(h.sound.applause, 0);
    h.Tick();
    EXPECT_EQ(h.desktop.calls,
              (on ? std::vector<std::string>{"alpha 255", "hide off", "bring back"} : std::vector<std::string>{}));
    ExpectState(h, kPause, 0, "00-00", false);
    EXPECT_FALSE(h.StartButton().enabled);
    EXPECT_EQ(h.sound.applause, applause ? 1 : 0);
    for (uint32_t box : {s::半透明选择框, s::自动隐藏选择框}) EXPECT_FALSE(h.Box(box).checked);
    for (uint32_t item : {m::半透明菜单, m::自动隐藏菜单}) EXPECT_FALSE(h.Item(item).checked);
    EXPECT_EQ(h.store.writes, (on ? Entries{{"半透明", "否"}, {"自动隐藏", "否"}} : Entries{}));
    h.Choose(m::开始计时菜单);  // finished: nothing happens until a reset
    ExpectState(h, kPause, 0, "00-00", false);
  }
}

TEST(Countdown, ResetMakesTheCountReadyAgainWithoutSaving) {
  Harness h;
  h.Type(s::时间编辑框, "0.05");
  h.Click(s::开始计时按钮);
  h.Tick();
  h.Click(s::开始计时按钮);  // a pause press that reaches zero
  ExpectState(h, kContinue, 0, "00-00", false);
  EXPECT_FALSE(h.StartButton().enabled);
  h.store.writes.clear();
  h.Choose(m::归零菜单);
  ExpectState(h, kStart, 0, "00-03", true);
  EXPECT_TRUE(h.StartButton().enabled);
  EXPECT_EQ(h.sound.stops, 1);
  EXPECT_TRUE(h.store.writes.empty());
  h.Type(s::时间编辑框, "abc");
  h.Click(s::时间归零按钮);
  EXPECT_FALSE(h.StartButton().enabled);
  EXPECT_EQ(h.Display(), "00-03");
}

TEST(Countdown, ResetWhileCountingStopsTheClock) {
  Harness h;
  h.Type(s::时间编辑框, "2");
  h.Click(s::开始计时按钮);
  h.Tick(3);
  ExpectState(h, kPause, 1000, "01-56", false);
  h.Click(s::时间归零按钮);
  ExpectState(h, kStart, 0, "02-00", true);
  h.Click(s::开始计时按钮);  // and starts afresh from the entry
  ExpectState(h, kPause, 1000, "01-59", false);
}

TEST(Countdown, AnEntryBelowOneSecondStopsAtZeroAtOnce) {
  Harness h;
  h.Type(s::时间编辑框, "0.01");  // 0.6 s: no whole second
  EXPECT_EQ(h.program.countdown->totalSeconds, 0);
  EXPECT_EQ(h.Display(), "00-00");
  EXPECT_TRUE(h.StartButton().enabled);
  h.Click(s::开始计时按钮);
  ExpectState(h, kPause, 0, "00-00", false);
  EXPECT_FALSE(h.StartButton().enabled);
  EXPECT_EQ(h.sound.applause, 1);
  h.Tick(2);  // a late timer event changes nothing
  EXPECT_EQ(h.Display(), "00-00");
  EXPECT_EQ(h.program.countdown->totalSeconds, 0);
}

TEST(InputBox, ConfirmedTextIsReadAsAPlainInteger) {
  Harness h;
  h.Click(s::开始计时按钮);  // works while the count runs too
  h.inputBox.answer = "7.9";
  h.Choose(m::输入时间菜单);
  EXPECT_EQ(h.inputBox.prompt, "请输入倒计时间（分钟）：");
  EXPECT_EQ(h.inputBox.initial, "5");
  EXPECT_EQ(h.Box(s::时间编辑框).text, "7");
  ExpectState(h, kPause, 0, "07-00", false);  // stopped; the next press pauses
  EXPECT_EQ(h.store.writes.back(), (KeyValue{"时间", "7"}));
  h.inputBox.answer = "１０";  // full-width digits are no number here
  h.Choose(m::输入时间菜单);
  EXPECT_EQ(h.Box(s::时间编辑框).text, "0");
  EXPECT_FALSE(h.StartButton().enabled);
  EXPECT_EQ(h.Display(), "07-00");
  h.inputBox.answer.reset();  // cancelled
  const Entries writes = h.store.writes;
  h.Choose(m::输入时间菜单);
  EXPECT_EQ(h.inputBox.initial, "0");
  EXPECT_EQ(h.Box(s::时间编辑框).text, "0");
  EXPECT_EQ(h.store.writes, writes);
}

TEST(Warning, BeepSeriesAtTheThreeWarningPointsOnly) {
  using Series = std::vector<std::pair<std::string, int>>;
  for (bool warn : {true, false}) {
    Harness h(Entries{{"警告音", YesNoText(warn)}});
    h.Type(s::时间编辑框, "2");
    h.Click(s::开始计时按钮);
    Series series;
    for (int i = 0; i < 200 && h.StartButton().enabled; ++i) {
      const int beeps = h.sound.beeps;
      h.Tick();
      if (h.sound.beeps != beeps) series.emplace_back(h.Display(), h.sound.beeps - beeps);
    }
    EXPECT_EQ(h.Display(), "00-00");
    EXPECT_EQ(series, (warn ? Series{{"01-00", 3}, {"00-30", 6}, {"00-15", 9}} : Series{}));
    EXPECT_EQ(h.delay.delays, std::vector<int>(h.sound.beeps, 200));  // a 200 ms wait after every beep
  }
}

TEST(Warning, TheCountGoesOnDuringABeepSeries) {
  Harness h;
  int waits = 0;
  std::vector<std::string> shown;
  h.delay.meanwhile = [&h, &waits, &shown] {
    if (++waits % 5 == 0) h.Tick();  // five waits of 200 ms: a second has gone
    shown.push_back(h.Display());
  };
  h.Type(s::时间编辑框, "0.27");  // 16 seconds
  h.Click(s::开始计时按钮);       // 00-15 at once, nine beeps
  EXPECT_EQ(h.sound.beeps, 9);
  EXPECT_EQ(shown, (std::vector<std::string>{"00-15", "00-15", "00-15", "00-15", "00-14", "00-14", "00-14", "00-14",
                                             "00-14"}));
  EXPECT_EQ(h.program.countdown->totalSeconds, 14);
  h.Tick(14);
  ExpectState(h, kPause, 0, "00-00", false);
}

TEST(Warning, NoWarningWhenTheCountStartsAtAWarningPoint) {
  Harness h;
  h.Type(s::时间编辑框, "1");
  h.Click(s::开始计时按钮);
  EXPECT_EQ(h.Display(), "00-59");
  EXPECT_EQ(h.sound.beeps, 0);
  h.Toggle(s::警告音选择框, false);  // the box switches the menu mark the tick reads
  h.Tick(59);
  EXPECT_EQ(h.sound.beeps, 0);
}

}  // namespace
