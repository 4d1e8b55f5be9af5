#include "settings/settings_file.h"

#include "app/countdown.h"
#include "app/program.h"
#include "desktop/desktop.h"
#include "ui/layouts.h"
#include "ui/text.h"

namespace m = main_window;
namespace s = settings_window;

std::string ReadSetting(Program& program, std::string_view key, std::string_view fallback) {
  return program.sys.store.Read(key, fallback);
}

bool WriteSetting(Program& program, std::string_view key, std::string_view value) {
  return program.sys.store.Write(key, value);
}

bool IsYesText(std::string_view text) { return text == "是"; }

const char* YesNoText(bool checked) { return checked ? "是" : "否"; }

void LoadSettings(Program& p) {
  ui::Window& settings = *p.settings;
  ui::Facility& f = p.ui;

  f.SetColour(settings.Get(s::背景颜色选择器), ui::IntegerReading(ReadSetting(p, "背景颜色", "65280")));
  f.SetColour(settings.Get(s::文字颜色选择器), ui::IntegerReading(ReadSetting(p, "文字颜色", "0")));
  // Each of these raises the box's change event, which applies and saves it.
  f.SetText(settings.Get(s::字体大小编辑框), ReadSetting(p, "字体大小", "72"));
  f.SetText(settings.Get(s::窗口高度编辑框), ReadSetting(p, "窗口高度", "90"));
  f.SetText(settings.Get(s::窗口宽度编辑框), ReadSetting(p, "窗口宽度", "280"));
  f.SetText(settings.Get(s::时间编辑框), ReadSetting(p, "时间", "5"));
  f.SetChecked(settings.Get(s::半透明选择框), IsYesText(ReadSetting(p, "半透明", "否")));
  f.SetChecked(settings.Get(s::到时后鼓掌选择框), IsYesText(ReadSetting(p, "鼓掌", "是")));
  f.SetChecked(settings.Get(s::警告音选择框), IsYesText(ReadSetting(p, "警告音", "是")));
  f.SetChecked(settings.Get(s::自动隐藏选择框), IsYesText(ReadSetting(p, "自动隐藏", "是")));
  ApplyTranslucency(p);
  ApplyAutoHide(p);

  f.SetWindowPosition(settings, settings.left, p.main->top + p.main->height + 10);

  ui::Control& label = p.main->Get(m::显示时间标签);
  f.SetGradientMiddle(label, static_cast<ui::Colour>(settings.Get(s::背景颜色选择器).colour));
  f.SetTextColour(label, settings.Get(s::文字颜色选择器).colour);
  f.SetFontPoints(label, ui::IntegerReading(settings.Get(s::字体大小编辑框).text));
  f.SetWidth(label, ui::IntegerReading(settings.Get(s::窗口宽度编辑框).text));
  f.SetHeight(label, ui::IntegerReading(settings.Get(s::窗口高度编辑框).text));
}
