// Moving a window by dragging its client area or one of its passive controls.
#pragma once

#include <windows.h>

namespace ui {

// Where the cursor was when the message being handled was sent: by the time
// it is handled the cursor may have moved on, and a drag must follow the
// button's own positions.
POINT MessageCursor();

// A window's drag in progress: the window of ours that holds the capture, the
// top-level window it moves, and where the cursor and that window were when
// it began.
struct Drag {
  HWND capture = nullptr;
  HWND root = nullptr;
  POINT cursor{};
  POINT origin{};
};

// Starts dragging the window `from` belongs to; `from` holds the capture.
void BeginDrag(Drag& drag, HWND from);
// Esc during a drag: the window goes back where it was, as a title-bar move
// does. False when no drag was in progress.
bool CancelDrag(Drag& drag);
// True when the message belonged to a drag in progress and has been handled.
bool ContinueDrag(Drag& drag, HWND hwnd, UINT msg);

}  // namespace ui
