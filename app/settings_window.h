// What the settings window's controls do, from its creation on: loading the
// settings file, the size boxes and colour pickers, and showing and hiding
// the window.
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

// Shows the settings window if hidden, hides it if shown; the menu's mark says which.
void ToggleSettingsWindow(Program& program);
// A close request (Esc, Alt+F4) on the settings window hides it as the hide button does.
void SettingsWindowCloseRequested(Program& program);
// The main window takes the time label's size.
void FitMainWindowToLabel(Program& program);
