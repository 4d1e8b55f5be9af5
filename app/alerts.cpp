#include "app/alerts.h"

#include "app/program.h"

int WarningBeeps(std::string_view display) {
  if (display == "01-00") return 3;
  if (display == "00-30") return 6;
  if (display == "00-15") return 9;
  return 0;
}

void BeepSeries(Program& program, int count) {
  for (int i = 0; i < count; ++i) {
    program.sys.sound.Beep();
    program.sys.delay.Wait(*program.delayRequest, 200);
  }
}

void StartApplause(Program& program) { program.sys.sound.PlayApplause(); }

void StopSound(Program& program) { program.sys.sound.Stop(); }
