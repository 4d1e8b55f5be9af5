#include "desktop/desktop.h"

#include "app/program.h"

// Translucency and edge hiding arrive with the desktop features; until then
// the options are stored and mirrored but change nothing on the desktop.
void ApplyTranslucency(Program&) {}
void ApplyAutoHide(Program&) {}
void SwitchAutoHideOff(Program&) {}
