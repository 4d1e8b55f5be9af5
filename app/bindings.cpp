// Which routine each event of the three windows runs.
#include "app/bindings.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "app/about_window.h"
#include "app/control_ids.h"
#include "app/countdown.h"
#include "app/layouts.h"
#include "app/lifetime.h"
#include "app/menu.h"
#include "app/options.h"
#include "app/program.h"
#include "app/settings_table.h"
#include "app/settings_window.h"

using ui::Binding;
using ui::Event;
using ui::EventKind;

namespace {

// The facility hands each routine the context the program gave it: the Program.
Program& Of(void* context) { return *static_cast<Program*>(context); }

template <void (*F)(Program&)>
void Plain(void* context, const Event&) {
  F(Of(context));
}
template <void (*F)(Program&, int)>
void Notches(void* context, const Event& e) {
  F(Of(context), e.notches);
}
// The size boxes, colour pickers and options each share one routine, which
// learns from the event which control it is.
void SettingChanged(void* context, const Event& e) { ApplySetting(Of(context), e.control); }
void SizeWheel(void* context, const Event& e) { AdjustSizeByWheel(Of(context), e.control, e.notches); }
void OptionClick(void* context, const Event& e) { OptionClicked(Of(context), e.control); }

// A window's own bindings, then a click on each option's control or mark in
// the settings table, which picks which of the two.
template <size_t N>
constexpr std::array<Binding, N + kOptionCount> WithOptions(const Binding (&own)[N], uint32_t Setting::*clicked) {
  std::array<Binding, N + kOptionCount> all{};
  auto next = std::ranges::copy(own, all.begin()).out;
  for (const Setting& setting : kSettings) {
    if (setting.form == Stored::YesNo) *next++ = {setting.*clicked, EventKind::Clicked, OptionClick};
  }
  return all;
}

namespace m = main_window;
namespace s = settings_window;
namespace a = about_window;

constexpr Binding kMainOwn[] = {
    {0, EventKind::Created, Plain<MainWindowCreated>},
    {0, EventKind::Resized, Plain<FitMainWindowToLabel>},
    {0, EventKind::CloseRequested, Plain<CloseProgram>},
    {m::时钟1, EventKind::Elapsed, Plain<CountdownTick>},
    {m::显示时间标签, EventKind::RightButtonUp, Plain<PopUpMainMenu>},
    {m::显示时间标签, EventKind::DoubleClicked, Plain<ToggleSettingsWindow>},
    {m::开始计时菜单, EventKind::Clicked, Plain<StartPauseContinue>},
    {m::归零菜单, EventKind::Clicked, Plain<ResetCountdown>},
    {m::输入时间菜单, EventKind::Clicked, Plain<EnterTimeByInputBox>},
    {m::显示设置选项菜单, EventKind::Clicked, Plain<ToggleSettingsWindow>},
    {m::访问官网菜单, EventKind::Clicked, Plain<OpenWebSite>},
    {m::关于软件菜单, EventKind::Clicked, Plain<ShowAboutWindow>},
    {m::关闭菜单, EventKind::Clicked, Plain<CloseProgram>},
};

constexpr Binding kSettingsOwn[] = {
    {0, EventKind::Created, Plain<LoadSettings>},
    {0, EventKind::CloseRequested, Plain<SettingsWindowCloseRequested>},
    {s::时间编辑框, EventKind::ContentChanged, Plain<ApplyTimeEntry>},
    {s::时间编辑框, EventKind::Wheel, Notches<AdjustTimeByWheel>},
    {s::开始计时按钮, EventKind::Clicked, Plain<StartPauseContinue>},
    {s::时间归零按钮, EventKind::Clicked, Plain<ResetCountdown>},
    {s::关闭程序按钮, EventKind::Clicked, Plain<CloseProgram>},
    {s::隐藏按钮, EventKind::Clicked, Plain<ToggleSettingsWindow>},
    {s::窗口宽度编辑框, EventKind::ContentChanged, SettingChanged},
    {s::窗口宽度编辑框, EventKind::Wheel, SizeWheel},
    {s::窗口高度编辑框, EventKind::ContentChanged, SettingChanged},
    {s::窗口高度编辑框, EventKind::Wheel, SizeWheel},
    {s::字体大小编辑框, EventKind::ContentChanged, SettingChanged},
    {s::字体大小编辑框, EventKind::Wheel, SizeWheel},
    {s::背景颜色选择器, EventKind::ColourChanged, SettingChanged},
    {s::文字颜色选择器, EventKind::ColourChanged, SettingChanged},
};

constexpr auto kMainBindings = WithOptions(kMainOwn, &Setting::menuMark);
constexpr auto kSettingsBindings = WithOptions(kSettingsOwn, &Setting::control);

constexpr Binding kAboutBindings[] = {
    {a::关闭程序按钮, EventKind::Clicked, Plain<CloseAboutWindow>},
};

}  // namespace

const ProgramWindows kProgramWindows{
    .main = {kMainWindowLayout, kMainBindings},
    .settings = {kSettingsWindowLayout, kSettingsBindings},
    .about = {kAboutWindowLayout, kAboutBindings},
};
