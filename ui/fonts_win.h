// The fonts controls are drawn in: the laid-out face at the size the model
// asks for, and stand-ins for the glyphs that face lacks.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/native_win.h"

namespace ui {

// The control's own font, or the default user-interface font.
HFONT FontFor(const NativeControl& nc);
// Makes the control's font anew from its layout and the model's size, and
// hands it to the control.
void RebuildFont(NativeControl& nc);
// Hands the control the font it draws in.
void ApplyFont(NativeControl& nc);
// Stand-ins for `base` at its height and weight, made once per base font.
const std::vector<OwnedFont>& Fallbacks(const NativeControl& nc, HFONT base);

}  // namespace ui
