// The yes/no options (semi-transparency, applause, warning beeps, edge
// hiding): a click on an option's check box or menu mark, and what switching
// one does at once. Applause and warning beeps do nothing at once: their boxes
// are read when they fall due.
#pragma once

#include <cstdint>

struct Program;
namespace ui {
struct Control;
}

// A click on an option's check box, which the user has toggled already, or on
// its menu mark, which toggles the box: the mark follows the box, the option
// takes effect and is saved.
void OptionClicked(Program& program, uint32_t boxOrMark);
// Unchecks the option's box, if it is checked, as a click would.
void SwitchOptionOff(Program& program, uint32_t box);
// What the two options that act at once do in the state of their box: the
// main window's opacity, and edge hiding switched on (afresh) or off.
void ShowTranslucency(Program& program, const ui::Control& box);
void ShowAutoHide(Program& program, const ui::Control& box);
