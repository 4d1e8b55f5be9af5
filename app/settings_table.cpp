#include "app/settings_table.h"

#include <string>

#include "app/program.h"
#include "settings/settings_file.h"
#include "ui/number_reading.h"

const Setting& SettingOf(uint32_t id) {
  for (const Setting& setting : kSettings) {
    if (setting.control == id || setting.menuMark == id) return setting;
  }
  return kSettings[0];  // every caller names a control or mark of the table
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
