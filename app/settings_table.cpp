#include "app/settings_table.h"

#include <string>

#include "app/control_ids.h"
#include "app/program.h"
#include "settings/settings_file.h"
#include "ui/number_reading.h"

namespace m = main_window;
namespace s = settings_window;

namespace {

// clang-format off
constexpr Setting kSettings[] = {
    {"背景颜色", "65280", Stored::Colour,  s::背景颜色选择器,   0},
    {"文字颜色", "0",     Stored::Colour,  s::文字颜色选择器,   0},
    {"字体大小", "72",    Stored::BoxText, s::字体大小编辑框,   0},
    {"窗口高度", "90",    Stored::BoxText, s::窗口高度编辑框,   0},
    {"窗口宽度", "280",   Stored::BoxText, s::窗口宽度编辑框,   0},
    {"时间",     "5",     Stored::BoxText, s::时间编辑框,       0},
    {"半透明",   "否",    Stored::YesNo,   s::半透明选择框,     m::半透明菜单},
    {"鼓掌",     "是",    Stored::YesNo,   s::到时后鼓掌选择框, m::到时后鼓掌菜单},
    {"警告音",   "是",    Stored::YesNo,   s::警告音选择框,     m::警告音菜单},
    {"自动隐藏", "是",    Stored::YesNo,   s::自动隐藏选择框,   m::自动隐藏菜单},
};
// clang-format on

}  // namespace

std::span<const Setting> Settings() { return kSettings; }

const Setting& SettingOf(uint32_t control) {
  for (const Setting& setting : kSettings) {
    if (setting.control == control) return setting;
  }
  return kSettings[0];  // every caller names a control of the table
}

void LoadSetting(Program& p, const Setting& setting) {
  ui::Control& control = p.settings->Get(setting.control);
  const std::string value = ReadSetting(p.sys.store, setting.key, setting.fallback);
  switch (setting.form) {
    case Stored::Colour: p.ui.SetColour(control, ui::IntegerReading(value)); break;
    case Stored::BoxText: p.ui.SetText(control, value); break;
    case Stored::YesNo: p.ui.SetChecked(control, IsYesText(value)); break;
  }
}

void SaveSetting(Program& p, const Setting& setting) {
  const ui::Control& control = p.settings->Get(setting.control);
  switch (setting.form) {
    case Stored::Colour:
      WriteSetting(p.sys.store, setting.key, std::to_string(static_cast<int32_t>(control.colour)));
      break;
    case Stored::BoxText: WriteSetting(p.sys.store, setting.key, control.text); break;
    case Stored::YesNo: WriteSetting(p.sys.store, setting.key, YesNoText(control.checked)); break;
  }
}

void MirrorMenuMark(Program& p, const Setting& setting) {
  if (setting.menuMark != 0) p.main->Item(setting.menuMark).checked = p.settings->Get(setting.control).checked;
}
