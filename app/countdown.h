// The remaining time, its one-second tick and the commands that change it.
#pragma once

#include <cstdint>
#include <string>

struct Program;

// One part of the display text: "00" for 0, else the last two characters of
// "00" followed by the value's decimal text (so 5 -> "05", 120 -> "20", -5 -> "-5").
std::string DisplayPart(int32_t value);

void ApplyTimeEntry(Program& program);
void RefreshTimeDisplay(Program& program);
void CountdownTick(Program& program);
void StartPauseContinue(Program& program);
void ResetCountdown(Program& program);
void EnterTimeByInputBox(Program& program);
void AdjustTimeByWheel(Program& program, int notches);
