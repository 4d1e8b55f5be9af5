#include "app/options.h"

#include "app/control_ids.h"
#include "app/program.h"
#include "settings/settings_file.h"

namespace m = main_window;
namespace s = settings_window;

namespace {

void ApplyOption(Program& p, Option option) {
  if (option == Option::Translucent) ApplyTranslucency(p);
  if (option == Option::AutoHide) ApplyAutoHide(p);
  const OptionInfo& info = OptionOf(option);
  WriteSetting(p.sys.store, info.key, YesNoText(p.settings->Get(info.box).checked));
}

}  // namespace

const OptionInfo& OptionOf(Option option) {
  static constexpr OptionInfo kOptions[] = {
      {s::半透明选择框, m::半透明菜单, "半透明"},
      {s::到时后鼓掌选择框, m::到时后鼓掌菜单, "鼓掌"},
      {s::警告音选择框, m::警告音菜单, "警告音"},
      {s::自动隐藏选择框, m::自动隐藏菜单, "自动隐藏"},
  };
  return kOptions[static_cast<int>(option)];
}

void OptionBoxClicked(Program& p, Option option) {
  const OptionInfo& info = OptionOf(option);
  p.main->Item(info.item).checked = p.settings->Get(info.box).checked;
  ApplyOption(p, option);
}

void OptionMenuClicked(Program& p, Option option) {
  const OptionInfo& info = OptionOf(option);
  ui::MenuItem& item = p.main->Item(info.item);
  item.checked = !item.checked;
  p.ui.SetChecked(p.settings->Get(info.box), item.checked);
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
