// The main window's pop-up menu, and the About window.
#pragma once

struct Program;

void PopUpMainMenu(Program& program);
void ShowAboutWindow(Program& program);
void CloseAboutWindow(Program& program);
void OpenWebSite(Program& program);
