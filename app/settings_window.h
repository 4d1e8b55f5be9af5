// What the settings window's controls do, from its creation on: loading the
// settings file, and the size boxes and colour pickers.
#pragma once

#include <cstdint>

struct Program;

void ApplyWidthEntry(Program& program);
void ApplyHeightEntry(Program& program);
void ApplyFontSizeEntry(Program& program);
void AdjustWidthByWheel(Program& program, int notches);
void AdjustHeightByWheel(Program& program, int notches);
void AdjustFontSizeByWheel(Program& program, int notches);
void ApplyBackColour(Program& program);
void ApplyTextColour(Program& program);

// The settings window's creation routine: the settings file into its
// controls, and what they set applied to the main window.
void LoadSettings(Program& program);
