// Moving a window by dragging its client area or one of its passive controls.
#pragma once

#include <windows.h>

namespace ui {

// Where the cursor was when the message being handled was sent: by the time
// it is handled the cursor may have moved on, and a drag must follow the
// button's own positions.
POINT MessageCursor();

// Starts dragging the window `from` belongs to; `from` holds the capture.
void BeginDrag(HWND from);
// Esc during a drag: the window goes back where it was, as a title-bar move
// does. False when no drag was in progress.
bool CancelDrag();
// True when the message belonged to a drag in progress and has been handled.
bool ContinueDrag(HWND hwnd, UINT msg);

}  // namespace ui
