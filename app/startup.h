// Start-up, the settings window's visibility, the main window's size, and
// the close command.
#pragma once

struct Program;

void MainWindowCreated(Program& program);
void ToggleSettingsWindow(Program& program);
void FitMainWindowToLabel(Program& program);
// Ends the program: edge hiding off, the settings window destroyed, exit code 0.
void CloseProgram(Program& program);
// A close request (Esc, Alt+F4) on the settings window hides it as the hide button does.
void SettingsWindowCloseRequested(Program& program);
