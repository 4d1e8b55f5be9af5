// What the settings window's controls do, from its creation on: loading the
// settings file, and the size boxes and colour pickers.
#pragma once

#include <cstdint>

struct Program;

// A size box (window width, window height, font size) applied to the time
// label and saved.
void ApplySizeEntry(Program& program, uint32_t box);
void AdjustSizeByWheel(Program& program, uint32_t box, int notches);
// A colour picker (background, text) applied to the time label and saved.
void ApplyColour(Program& program, uint32_t picker);

// The settings window's creation routine: the settings file into its
// controls, and what they set applied to the main window.
void LoadSettings(Program& program);
