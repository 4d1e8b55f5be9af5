// Which routine each event of the three windows runs.
#pragma once

#include "app/program.h"

// The program's three windows: each layout with the routines its events run.
extern const ProgramWindows kProgramWindows;
