#include "app/lifetime.h"

#include "app/control_ids.h"
#include "app/countdown.h"
#include "app/options.h"
#include "app/program.h"
#include "app/settings_table.h"
#include "app/settings_window.h"

namespace m = main_window;
namespace s = settings_window;

namespace {

// Both windows must exist for the whole run: without one of them the program
// would sit there with nothing to show or nothing to end it by.
bool Loaded(Program& program, const ui::WindowSpec& window, ui::Window*& handle) {
  if (program.ui.Load(window, false, &handle)) return true;
  program.sys.process.Fail(std::string("无法创建窗口“") + window.layout.caption + "”，程序无法运行。", 1);
  return false;
}

}  // namespace

void StartProgram(Program& program) {
  // The program's own end runs however the process ends: from the close
  // command, a failure, or the loop running out of windows.
  program.sys.process.AtEnd([](void* ended) { ProgramExit(*static_cast<Program*>(ended)); }, &program);
  program.ui.SetContext(&program);
  Loaded(program, program.windows.main, program.main);
}

void ProgramExit(Program& program) {
  // Nothing of the program's own goes on while the process is torn down: no
  // routine runs from here on (a failure's message box still handles the
  // windows' messages, their timers' among them), the sound is stopped, and
  // the threads of edge hiding and of the delay have returned.
  program.ui.SetContext(nullptr);
  program.sys.sound.Stop();
  program.sys.desktop.End();
  program.sys.delay.End();
  if (program.countdown) {
    program.countdown->minutesText = {};
    program.countdown->secondsText = {};
  }
  program.delayRequest.reset();
  program.countdown.reset();
}

void MainWindowCreated(Program& program) {
  if (!Loaded(program, program.windows.settings, program.settings)) return;
  program.ui.SetInterval(program.main->Get(m::时钟1), 0);
  ApplyTimeEntry(program);
  for (const Setting& setting : kSettings) MirrorMenuMark(program, setting);
  ToggleSettingsWindow(program);
  FitMainWindowToLabel(program);
}

void CloseProgram(Program& program) {
  program.sys.desktop.SetAutoHide(nullptr);
  if (program.settings) program.ui.Destroy(*program.settings);
  program.sys.process.Exit(0);
}
