// The system services the routines use, each behind a small interface with a
// Win32 implementation and a test double.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/process.h"
#include "desktop/desktop.h"
#include "settings/settings_file.h"

// What a message-pumping delay tells its worker thread, which copies it first.
struct DelayRequest {
  int32_t milliseconds = 0;
  uint32_t threadId = 0;
  uint32_t wakeMessage = 0;
  // The window the wake-up is posted to. A message posted to the thread alone
  // would be thrown away by any modal loop running meanwhile (a menu, a dialog
  // box); one posted to a window always arrives. Window handles keep to 32
  // bits on 64-bit Windows too.
  uint32_t wakeWindow = 0;
  // Which wait the wake-up ends, carried in its wParam.
  uint32_t wait = 0;
};

class Sound {
 public:
  virtual ~Sound() = default;
  virtual void Beep() = 0;
  virtual void PlayApplause() = 0;  // stops anything playing, then plays once, asynchronously
  virtual void Stop() = 0;
};

class Delay {
 public:
  virtual ~Delay() = default;
  // Waits the given time while the user-interface thread keeps handling its
  // messages, through the request record; a close or quit message ends the
  // wait early and is left for the main loop.
  virtual void Wait(DelayRequest& request, int milliseconds) = 0;
  // For the end of the process: every worker of a delay has returned, and a
  // wait started from now on returns at once.
  virtual void End() = 0;
};

class InputBox {
 public:
  virtual ~InputBox() = default;
  // The confirmed text, or nothing when the user cancels.
  virtual std::optional<std::string> Ask(std::string_view prompt, std::string_view initial) = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecute: what it returns, above 32 for success.
  virtual intptr_t Execute(std::string_view operation, std::string_view file, std::string_view parameters,
                           std::string_view directory, int show) = 0;
};

struct Services {
  SettingsStore& store;
  Sound& sound;
  Delay& delay;
  InputBox& inputBox;
  Shell& shell;
  ProcessControl& process;
  Desktop& desktop;
};
