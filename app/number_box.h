// The wheel over a number box of the settings window.
#pragma once

#include <cstdint>

struct Program;

// One wheel event over a number box: its whole number plus the notches, never
// below 1, written back (which applies and saves it), then applied once more.
void AdjustBoxByWheel(Program& program, uint32_t box, int notches, void (*apply)(Program&, uint32_t box));
