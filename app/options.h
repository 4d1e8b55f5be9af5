// The four options (semi-transparency, applause, warning beeps, edge hiding):
// their rows of the settings table, and what switching one does.
#pragma once

struct Program;
struct Setting;

enum class Option { Translucent, Applause, Warning, AutoHide };

// The option's row: its check box, its menu mark and its key.
const Setting& OptionOf(Option option);

void OptionBoxClicked(Program& program, Option option);
void OptionMenuClicked(Program& program, Option option);

// The semi-transparency box decides the main window's opacity.
void ApplyTranslucency(Program& program);
// The auto-hide box switches edge hiding on (afresh) or off; off brings a
// hidden main window back into view.
void ApplyAutoHide(Program& program);
