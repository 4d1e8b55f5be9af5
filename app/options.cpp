#include "app/options.h"

#include "app/control_ids.h"
#include "app/program.h"
#include "app/settings_table.h"

namespace m = main_window;
namespace s = settings_window;

namespace {

void ApplyOption(Program& p, Option option) {
  if (option == Option::Translucent) ApplyTranslucency(p);
  if (option == Option::AutoHide) ApplyAutoHide(p);
  SaveSetting(p, OptionOf(option));
}

}  // namespace

const Setting& OptionOf(Option option) {
  static constexpr uint32_t kBoxes[] = {s::半透明选择框, s::到时后鼓掌选择框, s::警告音选择框, s::自动隐藏选择框};
  return SettingOf(kBoxes[static_cast<int>(option)]);
}

void OptionBoxClicked(Program& p, Option option) {
  MirrorMenuMark(p, OptionOf(option));
  ApplyOption(p, option);
}

void OptionMenuClicked(Program& p, Option option) {
  const Setting& setting = OptionOf(option);
  const bool checked = !p.main->Item(setting.menuMark).checked;
  p.ui.SetChecked(p.settings->Get(setting.control), checked);
  MirrorMenuMark(p, setting);
  ApplyOption(p, option);
}

void ApplyTranslucency(Program& p) {
  const bool on = p.settings->Get(s::半透明选择框).checked;
  p.sys.desktop.SetWindowAlpha(*p.main, on ? kTranslucentAlpha : kOpaqueAlpha);
}

void ApplyAutoHide(Program& p) {
  p.sys.desktop.SetAutoHide(nullptr);
  if (p.settings->Get(s::自动隐藏选择框).checked) {
    p.sys.desktop.SetAutoHide(p.main);
  } else {
    p.sys.desktop.BringBackFromEdge(*p.main);
  }
}
