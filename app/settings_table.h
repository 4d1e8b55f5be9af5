// The ten settings, each described once: its key in the settings file, its
// default, how it is stored, the settings window's control that holds it
// live and, for an option, the menu mark that mirrors that control. Loading
// walks the rows in their order; every write goes through its row.
#pragma once

#include <cstdint>
#include <span>

struct Program;

enum class Stored : uint8_t {
  Colour,   // a colour picker's colour, as a signed decimal number
  BoxText,  // an edit box's text, as typed
  YesNo,    // a check box, as "是" or "否"
};

struct Setting {
  const char* key;
  const char* fallback;  // when the file has no such key
  Stored form;
  uint32_t control;   // in the settings window
  uint32_t menuMark;  // in the main window's menu; 0 for none
};

std::span<const Setting> Settings();
// The row of the setting that this control holds.
const Setting& SettingOf(uint32_t control);

// Reads a row's key (or its default) into its control: setting a box's text
// raises its change event, which applies and saves it; a colour or a check
// state raises nothing.
void LoadSetting(Program& program, const Setting& setting);
// Writes the control's value to its key, in the row's form.
void SaveSetting(Program& program, const Setting& setting);
// Gives an option's menu mark its check box's state.
void MirrorMenuMark(Program& program, const Setting& setting);
