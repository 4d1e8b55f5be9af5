#include "desktop/desktop.h"

#include "app/program.h"
#include "ui/layouts.h"

namespace s = settings_window;

void ApplyTranslucency(Program& p) {
  const bool on = p.settings->Get(s::半透明选择框).checked;
  p.sys.desktop.SetWindowAlpha(*p.main, on ? kTranslucentAlpha : kOpaqueAlpha);
}

void ApplyAutoHide(Program& p) {
  p.sys.desktop.SetAutoHide(nullptr);
  if (p.settings->Get(s::自动隐藏选择框).checked) {
    p.sys.desktop.SetAutoHide(p.main);
  } else {
    p.sys.desktop.BringBackFromEdge(*p.main);
  }
}
