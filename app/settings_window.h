// What the settings window's controls do, from its creation on: loading the
// settings file, the size boxes and colour pickers, and showing and hiding
// the window.
#pragma once

#include <cstdint>

struct Program;
namespace ui {
struct Control;
}

// A size box (window width, window height, font size) or colour picker
// (background, text): what it holds shown on the time label, and saved.
void ApplySetting(Program& program, uint32_t control);
void AdjustSizeByWheel(Program& program, uint32_t box, int notches);

// What each of them sets on the time label (the width and height, through
// it, on the main window).
void ShowBackColour(Program& program, const ui::Control& picker);
void ShowTextColour(Program& program, const ui::Control& picker);
void ShowFontSize(Program& program, const ui::Control& box);
void ShowHeight(Program& program, const ui::Control& box);
void ShowWidth(Program& program, const ui::Control& box);

// The settings window's creation routine: the settings file into its
// controls, and what they set applied to the main window.
void LoadSettings(Program& program);

// Shows the settings window if hidden, hides it if shown; the menu's mark says which.
void ToggleSettingsWindow(Program& program);
// A close request (Esc, Alt+F4) on the settings window hides it as the hide button does.
void SettingsWindowCloseRequested(Program& program);
// The main window takes the time label's size.
void FitMainWindowToLabel(Program& program);
