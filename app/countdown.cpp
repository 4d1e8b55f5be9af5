#include "app/countdown.h"

#include <cmath>
#include <cstdint>

#include "app/alerts.h"
#include "app/control_ids.h"
#include "app/number_box.h"
#include "app/options.h"
#include "app/program.h"
#include "app/settings_table.h"
#include "ui/number_reading.h"

namespace m = main_window;
namespace s = settings_window;

namespace {

constexpr double kSmallestTime = 0.0000001;
constexpr char kStart[] = "开始计时";
constexpr char kPause[] = "暂停计时";
constexpr char kContinue[] = "继续计时";

ui::Control& TimeBox(Program& p) { return p.settings->Get(s::时间编辑框); }
ui::Control& StartButton(Program& p) { return p.settings->Get(s::开始计时按钮); }
ui::Control& Clock(Program& p) { return p.main->Get(m::时钟1); }

// Minutes and seconds from an entry in minutes; 2.5 gives 2 minutes 30 seconds.
void SetTimeFromEntry(Program& p, const std::string& text, double minutesEntered) {
  CountdownState& c = *p.countdown;
  if (minutesEntered * 60.0 < 2147483648.0) {
    c.minutes = ui::IntegerReading(text);
    c.seconds = ui::TruncToInt32((minutesEntered - c.minutes) * 60.0);
    c.totalSeconds = ui::TruncToInt32(c.minutes * 60.0 + c.seconds);
  } else {
    // More seconds than 32 bits hold (about 68 years) would wrap to a total
    // that is negative, or nonsense, and a negative one ends the count with
    // applause at its first tick. Such an entry counts from the longest time
    // there is instead.
    c.totalSeconds = INT32_MAX;
    c.minutes = c.totalSeconds / 60;
    c.seconds = c.totalSeconds % 60;
  }
  RefreshTimeDisplay(p);
}

void SetStartCaption(Program& p, const char* caption) {
  p.ui.SetText(StartButton(p), caption);
  p.main->Item(m::开始计时菜单).caption = caption;
}

}  // namespace

std::string DisplayPart(int32_t value) {
  if (value == 0) return "00";
  const std::string padded = "00" + std::to_string(value);
  return padded.substr(padded.size() - 2);
}

void ApplyTimeEntry(Program& p) {
  const std::string text = TimeBox(p).text;
  const double x = ui::NumberReading(text);
  if (x > kSmallestTime) {
    SetTimeFromEntry(p, text, x);
    p.ui.SetInterval(Clock(p), 0);
    p.ui.SetEnabled(StartButton(p), true);
  } else {
    p.ui.SetEnabled(StartButton(p), false);
  }
  SaveSetting(p, SettingOf(s::时间编辑框));
}

void RefreshTimeDisplay(Program& p) {
  CountdownState& c = *p.countdown;
  c.minutesText = DisplayPart(c.minutes);
  c.secondsText = DisplayPart(c.seconds);
  p.ui.SetText(p.main->Get(m::显示时间标签), c.minutesText + "-" + c.secondsText);
}

void CountdownTick(Program& p) {
  CountdownState& c = *p.countdown;
  // A count started below one second stops at zero rather than running negative.
  c.totalSeconds = c.totalSeconds > 0 ? c.totalSeconds - 1 : 0;
  c.minutes = ui::TruncToInt32(c.totalSeconds / 60.0);
  c.seconds = ui::TruncToInt32(std::fmod(static_cast<double>(c.totalSeconds), 60.0));
  RefreshTimeDisplay(p);
  if (c.minutes == 0 && c.seconds == 0) {
    p.ui.SetInterval(Clock(p), 0);
    p.ui.SetEnabled(StartButton(p), false);
    if (p.settings->Get(s::到时后鼓掌选择框).checked) StartApplause(p);
    SwitchOptionOff(p, s::半透明选择框);
    SwitchOptionOff(p, s::自动隐藏选择框);
  }
  if (p.main->Item(m::警告音菜单).checked) {
    const int beeps = WarningBeeps(p.main->Get(m::显示时间标签).text);
    if (beeps > 0) BeepSeries(p, beeps);
  }
}

void StartPauseContinue(Program& p) {
  if (!StartButton(p).enabled) return;
  const std::string caption = StartButton(p).text;
  int interval;
  const char* next;
  if (caption == kStart || caption == kContinue) {
    interval = 1000;
    next = kPause;
  } else if (caption == kPause) {
    interval = 0;
    next = kContinue;
  } else {
    p.ui.SetEnabled(TimeBox(p), false);
    return;
  }
  p.ui.SetInterval(Clock(p), interval);
  SetStartCaption(p, next);
  CountdownTick(p);
  p.ui.SetEnabled(TimeBox(p), false);
}

void ResetCountdown(Program& p) {
  p.ui.SetEnabled(TimeBox(p), true);
  p.ui.SetInterval(Clock(p), 0);
  const std::string text = TimeBox(p).text;
  const double x = ui::NumberReading(text);
  const bool valid = x > kSmallestTime;
  if (valid) SetTimeFromEntry(p, text, x);
  SetStartCaption(p, kStart);
  StopSound(p);
  p.ui.SetEnabled(StartButton(p), valid);
}

void EnterTimeByInputBox(Program& p) {
  const auto entered = p.sys.inputBox.Ask("请输入倒计时间（分钟）：", TimeBox(p).text);
  if (!entered) return;
  // Setting the box's text runs ApplyTimeEntry through its change event.
  p.ui.SetText(TimeBox(p), std::to_string(ui::PlainIntegerReading(*entered)));
}

void AdjustTimeByWheel(Program& p, int notches) {
  AdjustBoxByWheel(p, s::时间编辑框, notches, [](Program& program, uint32_t) { ApplyTimeEntry(program); });
}
