// The main window's pop-up menu and the maker's web site.
#pragma once

#include <string_view>

struct Program;

// Pops the menu up at the cursor; the chosen item's routine runs once the
// menu has closed.
void PopUpMainMenu(Program& program);
void OpenWebSite(Program& program);
// Opens the address with the shell's "explorer.exe"; false only when the
// shell reports the file not found.
bool OpenWithExplorer(Program& program, std::string_view address);
