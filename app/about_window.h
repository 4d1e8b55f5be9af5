// The About window.
#pragma once

struct Program;

// The About window, afresh and modal: returns once it has been closed.
void ShowAboutWindow(Program& program);
void CloseAboutWindow(Program& program);
