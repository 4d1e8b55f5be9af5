// What the settings window's controls do, from its creation on: loading the
// settings file, and the size boxes, colour pickers and option boxes.
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

// One wheel event over a number box: its whole number plus the notches, never
// below 1, written back (which applies and saves it), then applied once more.
void AdjustBoxByWheel(Program& program, uint32_t box, void (*apply)(Program&), int notches);

void ApplyWidthEntry(Program& program);
void ApplyHeightEntry(Program& program);
void ApplyFontSizeEntry(Program& program);
void AdjustWidthByWheel(Program& program, int notches);
void AdjustHeightByWheel(Program& program, int notches);
void AdjustFontSizeByWheel(Program& program, int notches);
void ApplyBackColour(Program& program);
void ApplyTextColour(Program& program);
void OptionBoxClicked(Program& program, Option option);
void OptionMenuClicked(Program& program, Option option);

// The settings window's creation routine: the settings file into its
// controls, and what they set applied to the main window.
void LoadSettings(Program& program);
