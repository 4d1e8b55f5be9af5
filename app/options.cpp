#include "app/options.h"

#include "app/program.h"
#include "app/settings_table.h"

void ShowTranslucency(Program& p, const ui::Control& box) {
  p.sys.desktop.SetWindowAlpha(*p.main, box.checked ? kTranslucentAlpha : kOpaqueAlpha);
}

// Off brings a hidden main window back into view.
void ShowAutoHide(Program& p, const ui::Control& box) {
  p.sys.desktop.SetAutoHide(nullptr);
  if (box.checked) {
    p.sys.desktop.SetAutoHide(p.main);
  } else {
    p.sys.desktop.BringBackFromEdge(*p.main);
  }
}

void OptionClicked(Program& p, uint32_t boxOrMark) {
  const Setting& option = SettingOf(boxOrMark);
  if (boxOrMark == option.menuMark) {
    p.ui.SetChecked(p.settings->Get(option.control), !p.main->Item(option.menuMark).checked);
  }
  MirrorMenuMark(p, option);
  if (option.show) option.show(p, p.settings->Get(option.control));
  SaveSetting(p, option);
}

void SwitchOptionOff(Program& p, uint32_t box) {
  ui::Control& control = p.settings->Get(box);
  if (!control.checked) return;
  p.ui.SetChecked(control, false);
  OptionClicked(p, box);
}
