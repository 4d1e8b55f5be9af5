#include "app/about_window.h"

#include "app/program.h"

void ShowAboutWindow(Program& program) { program.ui.Load(program.windows.about, true, &program.about); }

void CloseAboutWindow(Program& program) {
  if (program.about) program.ui.Destroy(*program.about);
}
