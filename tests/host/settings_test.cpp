// The settings file at start-up, the settings window's boxes and options, and
// showing, hiding and closing the windows.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "settings/settings_file.h"
#include "tests/host/fakes.h"
#include "ui/painting.h"

namespace {

using namespace test;

TEST(SettingsFile, OnlyTheExactYesTextIsYes) {
  EXPECT_TRUE(IsYesText("是"));
  for (const char* text : {"否", "", "yes", "1", "是x", " 是"}) EXPECT_FALSE(IsYesText(text)) << text;
  EXPECT_STREQ(YesNoText(true), "是");
  EXPECT_STREQ(YesNoText(false), "否");
}

TEST(SettingsFile, FirstStartUsesTheDefaultsAndWritesOnlyTheBoxes) {
  Harness h;
  // The load writes each box once; start-up applies the time entry once more.
  EXPECT_EQ(h.store.writes,
            (Entries{{"字体大小", "72"}, {"窗口高度", "90"}, {"窗口宽度", "280"}, {"时间", "5"}, {"时间", "5"}}));
  EXPECT_EQ(h.store.file, (Entries{{"字体大小", "72"}, {"窗口高度", "90"}, {"窗口宽度", "280"}, {"时间", "5"}}));
  EXPECT_EQ(h.Display(), "05-00");
  EXPECT_TRUE(h.StartButton().enabled && h.StartButton().text == "开始计时");
  EXPECT_EQ(h.Clock().interval, 0);
  EXPECT_EQ(h.Label().gradientMiddle, 0x00FF00u);
  EXPECT_EQ(h.Label().fontPoints, 72);
  EXPECT_EQ(std::pair(h.Main().width, h.Main().height), std::pair(280, 90));
  EXPECT_TRUE(h.Settings().visible && h.Item(m::显示设置选项菜单).checked);
  for (const auto& [item, on] : {std::pair{m::半透明菜单, false}, std::pair{m::到时后鼓掌菜单, true},
                                 std::pair{m::警告音菜单, true}, std::pair{m::自动隐藏菜单, true}}) {
    EXPECT_EQ(h.Item(item).checked, on) << item;
  }
}

TEST(SettingsFile, StoredValuesReachTheControlsAndTheLabel) {
  Harness h({{"背景颜色", "255"},
             {"文字颜色", "16711680"},
             {"窗口宽度", "１２０"},
             {"鼓掌", "yes"},
             {"半透明", "是"},
             {"字体大小", "abc"},
             {"警告音", "否"},
             {"时间", "abc"}});
  const ui::Control& label = h.Label();
  const ui::Colour stops[] = {label.layout->gradient[0], label.gradientMiddle, label.layout->gradient[2]};
  EXPECT_EQ(ui::GradientRow(stops, label.height, label.height / 2), 255u);  // white, red, white
  EXPECT_EQ(label.textColour, 16711680u);
  EXPECT_EQ(h.Box(s::窗口宽度编辑框).text, "１２０");
  EXPECT_EQ(label.width, 120);
  EXPECT_EQ(h.Main().width, 120);
  EXPECT_EQ(h.Box(s::字体大小编辑框).text, "abc");
  EXPECT_EQ(label.fontPoints, 0);
  EXPECT_FALSE(h.StartButton().enabled);  // a stored time that is no number
  EXPECT_EQ(h.Clock().interval, 0);       // stopped all the same
  for (const auto& [box, item, on] :
       {std::tuple{s::到时后鼓掌选择框, m::到时后鼓掌菜单, false}, std::tuple{s::半透明选择框, m::半透明菜单, true},
        std::tuple{s::警告音选择框, m::警告音菜单, false}}) {
    EXPECT_EQ(h.Box(box).checked, on) << box;
    EXPECT_EQ(h.Item(item).checked, on) << item;
  }
  // The boxes' texts are written back as they stood; colours and options are not written.
  EXPECT_EQ(
      h.store.writes,
      (Entries{{"字体大小", "abc"}, {"窗口高度", "90"}, {"窗口宽度", "１２０"}, {"时间", "abc"}, {"时间", "abc"}}));
}

TEST(SettingsFile, ExtremeValuesAreClampedAndSavedAsTheyStood) {
  const std::string longValue(10000, '7');
  const int any = -1, max = ui::kMaxExtent;
  for (const auto& [value, width] : {std::pair<std::string, int>{"0", 0},
                                     {"-5", 0},
                                     {"", 0},
                                     {"abc", 0},
                                     {"99999999", max},
                                     {"2147483647", max},
                                     {"-2147483648", 0},
                                     {longValue, any}}) {
    SCOPED_TRACE(value.substr(0, 12));
    Harness h({{"窗口宽度", value}, {"窗口高度", value}, {"字体大小", value}, {"时间", value}});
    const ui::Control& label = h.Label();
    for (int extent : {label.width, label.height}) EXPECT_TRUE(extent >= 0 && extent <= ui::kMaxExtent) << extent;
    if (width != any) {
      EXPECT_EQ(label.width, width);
    }
    EXPECT_EQ(std::pair(h.Main().width, h.Main().height), std::pair(label.width, label.height));
    EXPECT_GE(label.fontPoints, 0);
    EXPECT_EQ(h.store.writes.front(), (KeyValue{"字体大小", value}));
    EXPECT_EQ(h.store.writes.back(), (KeyValue{"时间", value}));
    if (h.StartButton().enabled) {  // whatever the time read as, it counts
      const std::string before = h.Display();
      h.Click(s::开始计时按钮);
      EXPECT_NE(h.Display(), before);
      EXPECT_EQ(h.Display().size(), 5u);
    }
  }
}

TEST(SettingsFile, EachOptionKeyReachesItsOwnBoxOnly) {
  const std::tuple<const char*, uint32_t, uint32_t, bool> options[] = {
      {"半透明", s::半透明选择框, m::半透明菜单, false},
      {"鼓掌", s::到时后鼓掌选择框, m::到时后鼓掌菜单, true},
      {"警告音", s::警告音选择框, m::警告音菜单, true},
      {"自动隐藏", s::自动隐藏选择框, m::自动隐藏菜单, true},
  };
  for (const auto& [key, box, item, byDefault] : options) {
    for (bool stored : {true, false}) {
      SCOPED_TRACE(std::string(key) + "=" + YesNoText(stored));
      Harness h(Entries{{key, YesNoText(stored)}});
      for (const auto& [otherKey, otherBox, otherItem, otherDefault] : options) {
        const bool expected = otherBox == box ? stored : otherDefault;
        EXPECT_EQ(h.Box(otherBox).checked, expected) << otherKey;
        EXPECT_EQ(h.Item(otherItem).checked, expected) << otherKey;
      }
      // The desktop follows the two desktop options from the start.
      const bool translucent = box == s::半透明选择框 && stored;
      const bool hiding = box != s::自动隐藏选择框 || stored;
      EXPECT_EQ(h.desktop.calls, (std::vector<std::string>{translucent ? "alpha 80" : "alpha 255", "hide off",
                                                           hiding ? "hide on" : "bring back"}));
      EXPECT_EQ(h.desktop.target, &h.Main());
    }
  }
}

TEST(SizeBoxes, EachChangeIsAppliedAndSaved) {
  Harness h;
  h.backend.windowUpdates.clear();
  h.store.writes.clear();
  for (const char* text : {"3", "30", "300"}) h.Type(s::窗口宽度编辑框, text);
  EXPECT_EQ(h.store.writes, (Entries{{"窗口宽度", "3"}, {"窗口宽度", "30"}, {"窗口宽度", "300"}}));
  std::vector<int> widths;
  for (const auto& u : h.backend.windowUpdates) {
    if (u.window == m::kId && u.prop == ui::WindowProp::Bounds) widths.push_back(u.width);
  }
  EXPECT_EQ(widths, (std::vector<int>{3, 30, 300}));
  h.Type(s::窗口高度编辑框, "0");
  EXPECT_EQ(std::pair(h.Label().height, h.Main().height), std::pair(0, 0));
  EXPECT_EQ(h.store.writes.back(), (KeyValue{"窗口高度", "0"}));
  h.Type(s::字体大小编辑框, "-5");
  EXPECT_EQ(h.Label().fontPoints, 0);
}

TEST(SizeBoxes, WheelStepsByNotchesAndStaysAtLeastOne) {
  Harness h;
  h.Wheel(s::字体大小编辑框, 1);
  EXPECT_EQ(h.Box(s::字体大小编辑框).text, "73");
  EXPECT_EQ(h.Label().fontPoints, 73);
  EXPECT_EQ(h.store.file[0], (KeyValue{"字体大小", "73"}));
  h.Wheel(s::窗口高度编辑框, 2);
  EXPECT_EQ(h.Main().height, 92);
  for (const auto& [before, notches, after] :
       {std::tuple{"1", -1, "1"}, std::tuple{"12.7", 1, "13"}, std::tuple{"abc", 1, "1"}, std::tuple{"abc", 0, "1"}}) {
    h.Type(s::窗口宽度编辑框, before);
    h.Wheel(s::窗口宽度编辑框, notches);
    EXPECT_EQ(h.Box(s::窗口宽度编辑框).text, after) << before << " " << notches;
    EXPECT_EQ(h.Main().width, std::stoi(after));
    EXPECT_EQ(h.store.writes.back(), (KeyValue{"窗口宽度", after}));
  }
}

TEST(Options, BoxAndMenuMarkChangeTogetherAndAreSaved) {
  Harness h;
  for (const auto& [box, item, key] : {std::tuple{s::半透明选择框, m::半透明菜单, "半透明"},
                                       std::tuple{s::到时后鼓掌选择框, m::到时后鼓掌菜单, "鼓掌"},
                                       std::tuple{s::警告音选择框, m::警告音菜单, "警告音"},
                                       std::tuple{s::自动隐藏选择框, m::自动隐藏菜单, "自动隐藏"}}) {
    for (bool on : {true, false}) {
      // What the desktop is asked to do for each state of the option.
      const auto desktop = [&, box = box](bool state) -> std::vector<std::string> {
        if (box == s::半透明选择框) return {state ? "alpha 80" : "alpha 255"};
        if (box == s::自动隐藏选择框) return {"hide off", state ? "hide on" : "bring back"};
        return {};
      };
      h.desktop.calls.clear();
      h.Toggle(box, on);
      EXPECT_EQ(h.Item(item).checked, on) << key;
      EXPECT_EQ(h.store.writes.back(), (KeyValue{key, YesNoText(on)}));
      EXPECT_EQ(h.desktop.calls, desktop(on)) << key;
      h.desktop.calls.clear();
      h.Choose(item);
      EXPECT_EQ(h.Item(item).checked, !on) << key;
      EXPECT_EQ(h.Box(box).checked, !on) << key;
      EXPECT_EQ(h.store.writes.back(), (KeyValue{key, YesNoText(!on)}));
      EXPECT_EQ(h.desktop.calls, desktop(!on)) << key;
    }
  }
}

TEST(Colours, PickedColoursAreAppliedAndSaved) {
  Harness h;
  h.store.writes.clear();
  h.facility.UserPickedColour(h.Box(s::背景颜色选择器), 0x00FFFFFF);
  h.facility.UserPickedColour(h.Box(s::背景颜色选择器), 0x00FFFFFF);  // the same again: no change
  h.facility.UserPickedColour(h.Box(s::文字颜色选择器), 0x000000FF);
  EXPECT_EQ(h.Label().gradientMiddle, 0x00FFFFFFu);
  EXPECT_EQ(h.Label().textColour, 0x000000FFu);
  EXPECT_EQ(h.store.writes, (Entries{{"背景颜色", "16777215"}, {"文字颜色", "255"}}));
}

TEST(Windows, SettingsWindowIsShownAndHiddenWithItsMenuMark) {
  Harness h;
  auto expectShown = [&h](bool shown) {
    EXPECT_EQ(h.Settings().visible, shown);
    EXPECT_EQ(h.Item(m::显示设置选项菜单).checked, shown);
  };
  h.facility.Raise(h.Settings(), 0, ui::EventKind::CloseRequested);
  expectShown(false);
  h.facility.Raise(h.Settings(), 0, ui::EventKind::CloseRequested);  // already hidden
  expectShown(false);
  h.Choose(m::显示设置选项菜单);
  expectShown(true);
  h.Click(s::隐藏按钮);
  expectShown(false);
  for (bool shown : {true, false}) {
    h.facility.Raise(h.Main(), m::显示时间标签, ui::EventKind::DoubleClicked);
    expectShown(shown);
  }
  EXPECT_TRUE(h.Settings().alive);
  EXPECT_TRUE(h.process.exitCodes.empty());
}

TEST(Windows, AWindowThatCannotBeCreatedEndsTheProgramWithAMessage) {
  {
    // The message box lets the main window's clock through meanwhile: no
    // routine may run on without the settings window.
    Harness h({}, {s::kId});
    EXPECT_EQ(h.process.failures, std::vector<std::string>{"无法创建窗口“设置窗口”，程序无法运行。"});
    EXPECT_EQ(h.process.exitCodes, std::vector<int>{1});
    EXPECT_EQ(h.program.settings, nullptr);
    EXPECT_TRUE(h.store.writes.empty());  // nothing was loaded, nothing written
  }
  {
    Harness h({}, {m::kId});
    EXPECT_EQ(h.process.failures, std::vector<std::string>{"无法创建窗口“澜珂倒计时”，程序无法运行。"});
    EXPECT_EQ(h.program.main, nullptr);
    EXPECT_TRUE(h.facility.windows().empty());
  }
}

TEST(Windows, CloseCommandsEndTheProgramWithExitCodeZero) {
  for (int way = 0; way < 3; ++way) {
    Harness h;
    if (way == 0) h.facility.Raise(h.Main(), 0, ui::EventKind::CloseRequested);  // Esc, Alt+F4
    if (way == 1) h.Choose(m::关闭菜单);
    if (way == 2) h.Click(s::关闭程序按钮);
    EXPECT_EQ(h.process.exitCodes, std::vector<int>{0}) << way;
    EXPECT_FALSE(h.Settings().alive) << way;
    EXPECT_EQ(h.backend.destroyed, std::vector<uint32_t>{s::kId}) << way;
    // Edge hiding off (the mouse hook goes too), then the program's end as
    // the process ends: nothing of the program's may still be running.
    const std::vector<std::string> last(h.desktop.calls.end() - 2, h.desktop.calls.end());
    EXPECT_EQ(last, (std::vector<std::string>{"hide off", "end"})) << way;
    EXPECT_EQ(h.sound.stops, 1) << way;
    EXPECT_EQ(h.delay.ends, 1) << way;
  }
}

}  // namespace
