// The ten settings, each described once: its key in the settings file, its
// default, how it is stored, the settings window's control that holds it
// live, for an option the menu mark that mirrors that control, and what the
// control's value sets at once. Loading walks the rows in their order; every
// write goes through its row, and an option's check box and menu mark are
// bound to their routine from its row.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "app/control_ids.h"
#include "app/options.h"
#include "app/settings_window.h"

struct Program;

enum class Stored : uint8_t {
  Colour,   // a colour picker's colour, as a signed decimal number
  BoxText,  // an edit box's text, as typed
  YesNo,    // an option's check box, as "是" or "否"
};

struct Setting {
  const char* key;
  const char* fallback;  // when the file has no such key
  Stored form;
  uint32_t control;   // in the settings window
  uint32_t menuMark;  // in the main window's menu; 0 for none
  // What the control's value sets on the main window, when it sets anything
  // at once: the time label's colours and sizes, and the options that act
  // when switched (applause and warning beeps are read when they fall due,
  // the time by the count).
  void (*show)(Program&, const ui::Control& control);
};

namespace settings_rows {
namespace m = main_window;
namespace s = settings_window;
// clang-format off
inline constexpr Setting kSettings[] = {
    {"背景颜色", "65280", Stored::Colour,  s::背景颜色选择器,   0,                ShowBackColour},
    {"文字颜色", "0",     Stored::Colour,  s::文字颜色选择器,   0,                ShowTextColour},
    {"字体大小", "72",    Stored::BoxText, s::字体大小编辑框,   0,                ShowFontSize},
    {"窗口高度", "90",    Stored::BoxText, s::窗口高度编辑框,   0,                ShowHeight},
    {"窗口宽度", "280",   Stored::BoxText, s::窗口宽度编辑框,   0,                ShowWidth},
    {"时间",     "5",     Stored::BoxText, s::时间编辑框,       0,                nullptr},
    {"半透明",   "否",    Stored::YesNo,   s::半透明选择框,     m::半透明菜单,     ShowTranslucency},
    {"鼓掌",     "是",    Stored::YesNo,   s::到时后鼓掌选择框, m::到时后鼓掌菜单, nullptr},
    {"警告音",   "是",    Stored::YesNo,   s::警告音选择框,     m::警告音菜单,     nullptr},
    {"自动隐藏", "是",    Stored::YesNo,   s::自动隐藏选择框,   m::自动隐藏菜单,   ShowAutoHide},
};
// clang-format on
}  // namespace settings_rows

using settings_rows::kSettings;
inline constexpr size_t kOptionCount = std::ranges::count(kSettings, Stored::YesNo, &Setting::form);

// The row whose control, or whose menu mark, this is.
const Setting& SettingOf(uint32_t id);

// Reads a row's key (or its default) into its control: setting a box's text
// raises its change event, which applies and saves it; a colour or a check
// state raises nothing.
void LoadSetting(Program& program, const Setting& setting);
// Writes the control's value to its key, in the row's form.
void SaveSetting(Program& program, const Setting& setting);
// Gives an option's menu mark its check box's state.
void MirrorMenuMark(Program& program, const Setting& setting);
