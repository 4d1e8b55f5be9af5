// Which routine each event of the three windows runs.
#include "app/bindings.h"

#include "app/control_ids.h"
#include "app/countdown.h"
#include "app/menu.h"
#include "app/options.h"
#include "app/program.h"
#include "app/settings_window.h"
#include "app/startup.h"

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
template <uint32_t Box>
void SizeEntry(void* context, const Event&) {
  ApplySizeEntry(Of(context), Box);
}
template <uint32_t Box>
void SizeWheel(void* context, const Event& e) {
  AdjustSizeByWheel(Of(context), Box, e.notches);
}
template <uint32_t Picker>
void ColourPicked(void* context, const Event&) {
  ApplyColour(Of(context), Picker);
}
template <Option O>
void OptionBox(void* context, const Event&) {
  OptionBoxClicked(Of(context), O);
}
template <Option O>
void OptionItem(void* context, const Event&) {
  OptionMenuClicked(Of(context), O);
}

namespace m = main_window;
namespace s = settings_window;
namespace a = about_window;

constexpr Binding kMainBindings[] = {
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
    {m::半透明菜单, EventKind::Clicked, OptionItem<Option::Translucent>},
    {m::到时后鼓掌菜单, EventKind::Clicked, OptionItem<Option::Applause>},
    {m::警告音菜单, EventKind::Clicked, OptionItem<Option::Warning>},
    {m::自动隐藏菜单, EventKind::Clicked, OptionItem<Option::AutoHide>},
    {m::访问官网菜单, EventKind::Clicked, Plain<OpenWebSite>},
    {m::关于软件菜单, EventKind::Clicked, Plain<ShowAboutWindow>},
    {m::关闭菜单, EventKind::Clicked, Plain<CloseProgram>},
};

constexpr Binding kSettingsBindings[] = {
    {0, EventKind::Created, Plain<LoadSettings>},
    {0, EventKind::CloseRequested, Plain<SettingsWindowCloseRequested>},
    {s::时间编辑框, EventKind::ContentChanged, Plain<ApplyTimeEntry>},
    {s::时间编辑框, EventKind::Wheel, Notches<AdjustTimeByWheel>},
    {s::开始计时按钮, EventKind::Clicked, Plain<StartPauseContinue>},
    {s::时间归零按钮, EventKind::Clicked, Plain<ResetCountdown>},
    {s::关闭程序按钮, EventKind::Clicked, Plain<CloseProgram>},
    {s::隐藏按钮, EventKind::Clicked, Plain<ToggleSettingsWindow>},
    {s::半透明选择框, EventKind::Clicked, OptionBox<Option::Translucent>},
    {s::到时后鼓掌选择框, EventKind::Clicked, OptionBox<Option::Applause>},
    {s::警告音选择框, EventKind::Clicked, OptionBox<Option::Warning>},
    {s::自动隐藏选择框, EventKind::Clicked, OptionBox<Option::AutoHide>},
    {s::窗口宽度编辑框, EventKind::ContentChanged, SizeEntry<s::窗口宽度编辑框>},
    {s::窗口宽度编辑框, EventKind::Wheel, SizeWheel<s::窗口宽度编辑框>},
    {s::窗口高度编辑框, EventKind::ContentChanged, SizeEntry<s::窗口高度编辑框>},
    {s::窗口高度编辑框, EventKind::Wheel, SizeWheel<s::窗口高度编辑框>},
    {s::字体大小编辑框, EventKind::ContentChanged, SizeEntry<s::字体大小编辑框>},
    {s::字体大小编辑框, EventKind::Wheel, SizeWheel<s::字体大小编辑框>},
    {s::背景颜色选择器, EventKind::ColourChanged, ColourPicked<s::背景颜色选择器>},
    {s::文字颜色选择器, EventKind::ColourChanged, ColourPicked<s::文字颜色选择器>},
};

constexpr Binding kAboutBindings[] = {
    {a::关闭程序按钮, EventKind::Clicked, Plain<CloseAboutWindow>},
};

}  // namespace

const std::span<const Binding> kMainWindowBindings = kMainBindings;
const std::span<const Binding> kSettingsWindowBindings = kSettingsBindings;
const std::span<const Binding> kAboutWindowBindings = kAboutBindings;
