#include "app/settings_window.h"

#include <string>

#include "app/control_ids.h"
#include "app/number_box.h"
#include "app/options.h"
#include "app/program.h"
#include "app/settings_table.h"
#include "ui/number_reading.h"

namespace m = main_window;
namespace s = settings_window;

namespace {

ui::Control& TimeLabel(Program& p) { return p.main->Get(m::显示时间标签); }

// What a size box sets on the time label.
void ApplySize(Program& p, uint32_t box, int value) {
  ui::Control& label = TimeLabel(p);
  if (box == s::字体大小编辑框) {
    p.ui.SetFontPoints(label, value);
    return;
  }
  if (box == s::窗口宽度编辑框) {
    p.ui.SetWidth(label, value);
  } else {
    p.ui.SetHeight(label, value);
  }
  FitMainWindowToLabel(p);
}

}  // namespace

void ApplySizeEntry(Program& p, uint32_t box) {
  ApplySize(p, box, ui::IntegerReading(p.settings->Get(box).text));
  SaveSetting(p, SettingOf(box));
}

void AdjustSizeByWheel(Program& p, uint32_t box, int notches) { AdjustBoxByWheel(p, box, notches, ApplySizeEntry); }

void ApplyColour(Program& p, uint32_t picker) {
  const ui::Colour colour = p.settings->Get(picker).colour;
  if (picker == s::背景颜色选择器) {
    p.ui.SetGradientMiddle(TimeLabel(p), colour);
  } else {
    p.ui.SetTextColour(TimeLabel(p), colour);
  }
  SaveSetting(p, SettingOf(picker));
}

void LoadSettings(Program& p) {
  ui::Window& settings = *p.settings;
  ui::Facility& f = p.ui;

  for (const Setting& setting : kSettings) LoadSetting(p, setting);
  for (const Setting& setting : kSettings) {
    if (setting.form == Stored::YesNo) ApplyOption(p, setting);
  }

  f.SetWindowPosition(settings, settings.left, p.main->top + p.main->height + 10);

  ui::Control& label = p.main->Get(m::显示时间标签);
  f.SetGradientMiddle(label, static_cast<ui::Colour>(settings.Get(s::背景颜色选择器).colour));
  f.SetTextColour(label, settings.Get(s::文字颜色选择器).colour);
  f.SetFontPoints(label, ui::IntegerReading(settings.Get(s::字体大小编辑框).text));
  f.SetWidth(label, ui::IntegerReading(settings.Get(s::窗口宽度编辑框).text));
  f.SetHeight(label, ui::IntegerReading(settings.Get(s::窗口高度编辑框).text));
}

void ToggleSettingsWindow(Program& program) {
  ui::MenuItem& mark = program.main->Item(m::显示设置选项菜单);
  const bool show = !mark.checked;
  program.ui.SetVisible(*program.settings, show);
  mark.checked = show;
}

void SettingsWindowCloseRequested(Program& program) {
  if (program.main->Item(m::显示设置选项菜单).checked) ToggleSettingsWindow(program);
}

void FitMainWindowToLabel(Program& program) {
  const ui::Control& label = program.main->Get(m::显示时间标签);
  program.ui.SetWindowSize(*program.main, label.width, label.height);
}
