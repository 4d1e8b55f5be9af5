// How the main window sits on the desktop: translucency and edge hiding.
#pragma once

struct Program;

// Alpha 80 while the semi-transparency box is checked, else opaque.
void ApplyTranslucency(Program& program);
// Starts or stops edge hiding by the auto-hide box, bringing a hidden window back.
void ApplyAutoHide(Program& program);
// Switches edge hiding off (and the mouse hook with it).
void SwitchAutoHideOff(Program& program);
