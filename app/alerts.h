// The warning beeps near the end and the applause at zero.
#pragma once

#include <string_view>

struct Program;

// Number of beeps due when the display shows the given text, or 0.
int WarningBeeps(std::string_view display);

// count times: the system's default sound, then a 200 ms wait that keeps
// handling messages (so the countdown goes on ticking meanwhile).
void BeepSeries(Program& program, int count);
void StartApplause(Program& program);
void StopSound(Program& program);
