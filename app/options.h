// The four options (semi-transparency, applause, warning beeps, edge hiding):
// their check boxes, menu items and keys, and what switching one does.
#pragma once

#include <cstdint>

struct Program;

enum class Option { Translucent, Applause, Warning, AutoHide };

struct OptionInfo {
  uint32_t box;   // check box in the settings window
  uint32_t item;  // menu item of the main window
  const char* key;
};
const OptionInfo& OptionOf(Option option);

void OptionBoxClicked(Program& program, Option option);
void OptionMenuClicked(Program& program, Option option);

// The semi-transparency box decides the main window's opacity.
void ApplyTranslucency(Program& program);
// The auto-hide box switches edge hiding on (afresh) or off; off brings a
// hidden main window back into view.
void ApplyAutoHide(Program& program);
