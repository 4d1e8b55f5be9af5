#include "app/settings_window.h"

#include "app/control_ids.h"
#include "app/number_box.h"
#include "app/program.h"
#include "app/settings_table.h"
#include "ui/number_reading.h"

namespace m = main_window;
namespace s = settings_window;

namespace {

ui::Control& TimeLabel(Program& p) { return p.main->Get(m::显示时间标签); }

}  // namespace

void ShowBackColour(Program& p, const ui::Control& picker) { p.ui.SetGradientMiddle(TimeLabel(p), picker.colour); }

void ShowTextColour(Program& p, const ui::Control& picker) { p.ui.SetTextColour(TimeLabel(p), picker.colour); }

void ShowFontSize(Program& p, const ui::Control& box) {
  p.ui.SetFontPoints(TimeLabel(p), ui::IntegerReading(box.text));
}

void ShowHeight(Program& p, const ui::Control& box) {
  p.ui.SetHeight(TimeLabel(p), ui::IntegerReading(box.text));
  FitMainWindowToLabel(p);
}

void ShowWidth(Program& p, const ui::Control& box) {
  p.ui.SetWidth(TimeLabel(p), ui::IntegerReading(box.text));
  FitMainWindowToLabel(p);
}

void ApplySetting(Program& p, uint32_t control) {
  const Setting& setting = SettingOf(control);
  setting.show(p, p.settings->Get(control));
  SaveSetting(p, setting);
}

void AdjustSizeByWheel(Program& p, uint32_t box, int notches) { AdjustBoxByWheel(p, box, notches, ApplySetting); }

void LoadSettings(Program& p) {
  for (const Setting& setting : kSettings) LoadSetting(p, setting);
  // A box's new text raised its change event, which showed and saved it; a
  // colour or a check state raises none, so what those set is shown here.
  for (const Setting& setting : kSettings) {
    if (setting.form != Stored::BoxText && setting.show) setting.show(p, p.settings->Get(setting.control));
  }
  p.ui.SetWindowPosition(*p.settings, p.settings->left, p.main->top + p.main->height + 10);
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
