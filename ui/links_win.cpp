#include "ui/links_win.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>

#include "base/bound_functions_win.h"
#include "base/encoding_win.h"
#include "base/handles_win.h"
#include "ui/drag_win.h"

namespace ui {

// The A functions take the system's code page, as the registry's own texts are.
intptr_t Win32LinkShell::Open(std::string_view target) {
  const std::string file = ToCodePage(target, CP_ACP);
  // The shell is loaded on the first click, not at every start.
  const auto execute = Sys<Bound::ShellExecuteToOpen>();
  if (execute == nullptr) return 0;
  return reinterpret_cast<intptr_t>(execute(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOW));
}

std::optional<std::string> Win32LinkShell::ClassesRootDefault(std::string_view key) {
  OwnedKey opened;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ToCodePage(key, CP_ACP).c_str(), 0, KEY_QUERY_VALUE, opened.put()) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  LONG size = 0;
  std::optional<std::string> value;
  if (RegQueryValueA(opened.get(), nullptr, nullptr, &size) == ERROR_SUCCESS && size > 0) {
    std::string bytes(static_cast<size_t>(size), '\0');
    if (RegQueryValueA(opened.get(), nullptr, bytes.data(), &size) == ERROR_SUCCESS) {
      // Stored values need not end in a NUL, or may hold more than one.
      bytes.resize(std::min(bytes.find('\0'), static_cast<size_t>(size)));
      value = FromCodePage(bytes, CP_ACP);
    }
  }
  return value;
}

uint32_t Win32LinkShell::Run(std::string_view commandLine) {
  return WinExec(ToCodePage(commandLine, CP_ACP).c_str(), SW_SHOW);
}

namespace {

void SetLinkHover(NativeControl& nc, bool hover) {
  if (nc.model->hover == hover) return;
  nc.model->hover = hover;
  InvalidateRect(nc.hwnd, nullptr, FALSE);
}

// Asks to hear when the cursor leaves the link, unless that is asked already.
void FollowLeave(NativeControl& nc) {
  if (nc.trackingLeave) return;
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, nc.hwnd, 0};
  nc.trackingLeave = TrackMouseEvent(&track) != FALSE;
}

bool CursorInside(HWND hwnd, POINT at) {
  RECT r;
  GetClientRect(hwnd, &r);
  return PtInRect(&r, at) != FALSE;
}

}  // namespace

// The leave is followed with
// TrackMouseEvent, which reports it wherever the cursor goes; the capture
// would not (once the cursor is over another program's window, a captured
// link hears nothing more and would stay lit). The capture is held only while
// the button is down, so that a press and release both on the link, and only
// that, opens it.
bool LinkMouse(NativeControl& nc, UINT msg, LPARAM lp) {
  const HWND hwnd = nc.hwnd;
  const bool pressed = GetCapture() == hwnd;
  switch (msg) {
    case WM_MOUSEMOVE: {
      const bool inside = CursorInside(hwnd, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      if (inside && !pressed) FollowLeave(nc);
      SetLinkHover(nc, inside);
      return true;
    }
    case WM_MOUSELEAVE:
      nc.trackingLeave = false;
      if (!pressed) SetLinkHover(nc, false);  // while pressed the moves tell
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // a quick second click is a click all the same
      SetCapture(hwnd);
      return true;
    case WM_LBUTTONUP:
      if (!pressed) return true;
      ReleaseCapture();
      if (CursorInside(hwnd, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) nc.owner->facility->LinkClicked(*nc.model);
      return true;
    case WM_CAPTURECHANGED: {
      // The press is over: from here the leave tracking follows the cursor again.
      POINT at = MessageCursor();
      ScreenToClient(hwnd, &at);
      const bool inside = CursorInside(hwnd, at);
      nc.trackingLeave = false;  // whatever became of it meanwhile
      if (inside) FollowLeave(nc);
      SetLinkHover(nc, inside);
      return true;
    }
    default: return false;
  }
}

}  // namespace ui
