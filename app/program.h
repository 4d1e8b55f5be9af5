// The program-wide records: what the routines share, and the windows and
// services they reach it all through.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/services.h"
#include "ui/model.h"

struct CountdownState {
  int32_t minutes = 0;
  int32_t seconds = 0;
  int32_t totalSeconds = 0;
  std::string minutesText;
  std::string secondsText;
};

// The three windows, each a layout with its bindings, handed to the program by
// whoever starts it, so that the routines that open a window need not know the
// tables that bind its events back to them.
struct ProgramWindows {
  ui::WindowSpec main, settings, about;
};

struct Program {
  Program(ui::Facility& facility, Services services, const ProgramWindows& windows);

  ui::Facility& ui;
  Services sys;
  const ProgramWindows& windows;
  std::unique_ptr<CountdownState> countdown;
  std::unique_ptr<DelayRequest> delay;
  ui::Window* main = nullptr;
  ui::Window* settings = nullptr;
  ui::Window* about = nullptr;  // while it is open
};

// Creates the records, loads the main window (whose creation brings up the
// rest) and leaves the program ready for the message loop.
void StartProgram(Program& program);

// Stops what still runs beside the user-interface thread (the sound, edge
// hiding's threads) and releases the program-wide records; runs when the
// process ends, whichever way it ends.
void ProgramExit(Program& program);
