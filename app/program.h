// The program-wide records: what the routines share, and the windows and
// services they reach it all through.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/services.h"
#include "ui/facility.h"

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
  Program(ui::Facility& facility, Services services, const ProgramWindows& programWindows)
      : ui(facility), sys(services), windows(programWindows) {}

  ui::Facility& ui;
  Services sys;
  const ProgramWindows& windows;
  std::unique_ptr<CountdownState> countdown = std::make_unique<CountdownState>();
  std::unique_ptr<DelayRequest> delayRequest = std::make_unique<DelayRequest>();
  ui::Window* main = nullptr;
  ui::Window* settings = nullptr;
  ui::Window* about = nullptr;  // while it is open
};
