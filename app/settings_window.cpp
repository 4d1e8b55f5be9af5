#include "app/settings_window.h"

#include <string>

#include "app/control_ids.h"
#include "app/number_box.h"
#include "app/options.h"
#include "app/program.h"
#include "app/startup.h"
#include "settings/settings_file.h"
#include "ui/number_reading.h"

namespace m = main_window;
namespace s = settings_window;

namespace {

ui::Control& TimeLabel(Program& p) { return p.main->Get(m::显示时间标签); }

}  // namespace

void ApplyWidthEntry(Program& p) {
  const std::string text = p.settings->Get(s::窗口宽度编辑框).text;
  p.ui.SetWidth(TimeLabel(p), ui::IntegerReading(text));
  FitMainWindowToLabel(p);
  WriteSetting(p.sys.store, "窗口宽度", text);
}

void ApplyHeightEntry(Program& p) {
  const std::string text = p.settings->Get(s::窗口高度编辑框).text;
  p.ui.SetHeight(TimeLabel(p), ui::IntegerReading(text));
  FitMainWindowToLabel(p);
  WriteSetting(p.sys.store, "窗口高度", text);
}

void ApplyFontSizeEntry(Program& p) {
  const std::string text = p.settings->Get(s::字体大小编辑框).text;
  p.ui.SetFontPoints(TimeLabel(p), ui::IntegerReading(text));
  WriteSetting(p.sys.store, "字体大小", text);
}

void AdjustWidthByWheel(Program& p, int notches) { AdjustBoxByWheel(p, s::窗口宽度编辑框, ApplyWidthEntry, notches); }
void AdjustHeightByWheel(Program& p, int notches) { AdjustBoxByWheel(p, s::窗口高度编辑框, ApplyHeightEntry, notches); }
void AdjustFontSizeByWheel(Program& p, int notches) {
  AdjustBoxByWheel(p, s::字体大小编辑框, ApplyFontSizeEntry, notches);
}

void ApplyBackColour(Program& p) {
  const ui::Colour colour = p.settings->Get(s::背景颜色选择器).colour;
  p.ui.SetGradientMiddle(TimeLabel(p), colour);
  WriteSetting(p.sys.store, "背景颜色", std::to_string(static_cast<int32_t>(colour)));
}

void ApplyTextColour(Program& p) {
  const ui::Colour colour = p.settings->Get(s::文字颜色选择器).colour;
  p.ui.SetTextColour(TimeLabel(p), colour);
  WriteSetting(p.sys.store, "文字颜色", std::to_string(static_cast<int32_t>(colour)));
}

void LoadSettings(Program& p) {
  ui::Window& settings = *p.settings;
  ui::Facility& f = p.ui;

  f.SetColour(settings.Get(s::背景颜色选择器), ui::IntegerReading(ReadSetting(p.sys.store, "背景颜色", "65280")));
  f.SetColour(settings.Get(s::文字颜色选择器), ui::IntegerReading(ReadSetting(p.sys.store, "文字颜色", "0")));
  // Each of these raises the box's change event, which applies and saves it.
  f.SetText(settings.Get(s::字体大小编辑框), ReadSetting(p.sys.store, "字体大小", "72"));
  f.SetText(settings.Get(s::窗口高度编辑框), ReadSetting(p.sys.store, "窗口高度", "90"));
  f.SetText(settings.Get(s::窗口宽度编辑框), ReadSetting(p.sys.store, "窗口宽度", "280"));
  f.SetText(settings.Get(s::时间编辑框), ReadSetting(p.sys.store, "时间", "5"));
  f.SetChecked(settings.Get(s::半透明选择框), IsYesText(ReadSetting(p.sys.store, "半透明", "否")));
  f.SetChecked(settings.Get(s::到时后鼓掌选择框), IsYesText(ReadSetting(p.sys.store, "鼓掌", "是")));
  f.SetChecked(settings.Get(s::警告音选择框), IsYesText(ReadSetting(p.sys.store, "警告音", "是")));
  f.SetChecked(settings.Get(s::自动隐藏选择框), IsYesText(ReadSetting(p.sys.store, "自动隐藏", "是")));
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
