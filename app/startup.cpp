#include "app/startup.h"

#include "app/control_ids.h"
#include "app/countdown.h"
#include "app/options.h"
#include "app/program.h"
#include "app/settings_table.h"

namespace m = main_window;
namespace s = settings_window;

Program::Program(ui::Facility& facility, Services services, const ProgramWindows& programWindows)
    : ui(facility),
      sys(services),
      windows(programWindows),
      countdown(std::make_unique<CountdownState>()),
      delay(std::make_unique<DelayRequest>()) {}

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
  program.ui.SetContext(&program);
  Loaded(program, program.windows.main, program.main);
}

void ProgramExit(Program& program) {
  // Nothing of the program's own goes on while the process is torn down: the
  // sound is stopped and edge hiding's threads have returned.
  program.sys.sound.Stop();
  program.sys.desktop.End();
  if (program.countdown) {
    program.countdown->minutesText = {};
    program.countdown->secondsText = {};
  }
  program.delay.reset();
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

void ToggleSettingsWindow(Program& program) {
  ui::MenuItem& mark = program.main->Item(m::显示设置选项菜单);
  const bool show = !mark.checked;
  program.ui.SetVisible(*program.settings, show);
  mark.checked = show;
}

void FitMainWindowToLabel(Program& program) {
  const ui::Control& label = program.main->Get(m::显示时间标签);
  program.ui.SetWindowSize(*program.main, label.width, label.height);
}

void CloseProgram(Program& program) {
  program.sys.desktop.SetAutoHide(nullptr);
  if (program.settings) program.ui.Destroy(*program.settings);
  program.sys.process.Exit(0);
}

void SettingsWindowCloseRequested(Program& program) {
  if (program.main->Item(m::显示设置选项菜单).checked) ToggleSettingsWindow(program);
}
