#include "app/options.h"

#include "app/control_ids.h"
#include "app/program.h"
#include "app/settings_table.h"

namespace s = settings_window;

namespace {

// The semi-transparency box decides the main window's opacity.
void ApplyTranslucency(Program& p) {
  const bool on = p.settings->Get(s::半透明选择框).checked;
  p.sys.desktop.SetWindowAlpha(*p.main, on ? kTranslucentAlpha : kOpaqueAlpha);
}

// The auto-hide box switches edge hiding on (afresh) or off; off brings a
// hidden main window back into view.
void ApplyAutoHide(Program& p) {
  p.sys.desktop.SetAutoHide(nullptr);
  if (p.settings->Get(s::自动隐藏选择框).checked) {
    p.sys.desktop.SetAutoHide(p.main);
  } else {
    p.sys.desktop.BringBackFromEdge(*p.main);
  }
}

}  // namespace

void ApplyOption(Program& p, const Setting& option) {
  if (option.control == s::半透明选择框) ApplyTranslucency(p);
  if (option.control == s::自动隐藏选择框) ApplyAutoHide(p);
}

void OptionClicked(Program& p, uint32_t boxOrMark) {
  const Setting& option = SettingOf(boxOrMark);
  if (boxOrMark == option.menuMark) {
    p.ui.SetChecked(p.settings->Get(option.control), !p.main->Item(option.menuMark).checked);
  }
  MirrorMenuMark(p, option);
  ApplyOption(p, option);
  SaveSetting(p, option);
}

void SwitchOptionOff(Program& p, uint32_t box) {
  ui::Control& control = p.settings->Get(box);
  if (!control.checked) return;
  p.ui.SetChecked(control, false);
  OptionClicked(p, box);
}
