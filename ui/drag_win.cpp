#include "ui/drag_win.h"

#include <windowsx.h>

namespace ui {
namespace {

void MoveRoot(const Drag& drag, POINT to) {
  SetWindowPos(drag.root, nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

POINT MessageCursor() {
  const DWORD at = GetMessagePos();
  return {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
}

void BeginDrag(Drag& drag, HWND from) {
  drag.capture = from;
  drag.root = GetAncestor(from, GA_ROOT);
  drag.cursor = MessageCursor();
  RECT r;
  GetWindowRect(drag.root, &r);
  drag.origin = {r.left, r.top};
  SetCapture(from);
}

bool CancelDrag(Drag& drag) {
  if (drag.capture == nullptr) return false;
  drag.capture = nullptr;
  ReleaseCapture();
  MoveRoot(drag, drag.origin);
  return true;
}

bool ContinueDrag(Drag& drag, HWND hwnd, UINT msg) {
  if (drag.capture != hwnd) return false;
  switch (msg) {
    case WM_MOUSEMOVE: {
      const POINT now = MessageCursor();
      MoveRoot(drag, {drag.origin.x + now.x - drag.cursor.x, drag.origin.y + now.y - drag.cursor.y});
      return true;
    }
    case WM_LBUTTONUP:
      drag.capture = nullptr;
      ReleaseCapture();
      return true;
    case WM_CAPTURECHANGED: drag.capture = nullptr; return true;
    default: return false;
  }
}

}  // namespace ui
