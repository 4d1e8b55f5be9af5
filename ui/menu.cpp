#include "ui/menu.h"

#include "app/program.h"

// The pop-up menu and the About window come with their own features; the
// bindings are already in place.
void PopUpMainMenu(Program&) {}
void ShowAboutWindow(Program&) {}
void CloseAboutWindow(Program&) {}
void OpenWebSite(Program&) {}
