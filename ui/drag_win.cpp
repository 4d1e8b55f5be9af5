#include "ui/drag_win.h"

#include <windowsx.h>

namespace ui {
namespace {

struct Drag {
  HWND capture = nullptr;
  HWND root = nullptr;
  POINT cursor{};
  POINT origin{};
} g_drag;

void MoveRoot(POINT to) {
  SetWindowPos(g_drag.root, nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

POINT MessageCursor() {
  const DWORD at = GetMessagePos();
  return {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
}

void BeginDrag(HWND from) {
  g_drag.capture = from;
  g_drag.root = GetAncestor(from, GA_ROOT);
  g_drag.cursor = MessageCursor();
  RECT r;
  GetWindowRect(g_drag.root, &r);
  g_drag.origin = {r.left, r.top};
  SetCapture(from);
}

bool CancelDrag() {
  if (g_drag.capture == nullptr) return false;
  g_drag.capture = nullptr;
  ReleaseCapture();
  MoveRoot(g_drag.origin);
  return true;
}

bool ContinueDrag(HWND hwnd, UINT msg) {
  if (g_drag.capture != hwnd) return false;
  switch (msg) {
    case WM_MOUSEMOVE: {
      const POINT now = MessageCursor();
      MoveRoot({g_drag.origin.x + now.x - g_drag.cursor.x, g_drag.origin.y + now.y - g_drag.cursor.y});
      return true;
    }
    case WM_LBUTTONUP:
      g_drag.capture = nullptr;
      ReleaseCapture();
      return true;
    case WM_CAPTURECHANGED: g_drag.capture = nullptr; return true;
    default: return false;
  }
}

}  // namespace ui
