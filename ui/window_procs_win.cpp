// The window procedures of the program's windows and controls: each is one
// switch that hands a message to the handler named for it.
#include <windowsx.h>

#include "base/bound_functions_win.h"
#include "base/encoding_win.h"
#include "base/handles_win.h"
#include "ui/drag_win.h"
#include "ui/fonts_win.h"
#include "ui/links_win.h"
#include "ui/native_win.h"
#include "ui/number_reading.h"
#include "ui/painting_win.h"

namespace ui {
namespace {

Event MouseEvent(WPARAM wp, LPARAM lp) {
  return Event{.x = GET_X_LPARAM(lp), .y = GET_Y_LPARAM(lp), .keys = KeyState(GET_KEYSTATE_WPARAM(wp))};
}

// Mouse input that any control turns into events of its own; true when a
// routine took a turn of the wheel, which then goes no further.
bool RaiseMouseEvent(NativeControl& nc, UINT msg, WPARAM wp, LPARAM lp) {
  Facility& f = *nc.owner->facility;
  Window& w = *nc.model->window;
  const uint32_t id = nc.model->id();
  switch (msg) {
    case WM_LBUTTONDBLCLK: f.Raise(w, id, EventKind::DoubleClicked, MouseEvent(wp, lp)); return false;
    case WM_RBUTTONUP: f.Raise(w, id, EventKind::RightButtonUp, MouseEvent(wp, lp)); return false;
    case WM_MOUSEWHEEL: return f.UserTurnedWheel(*nc.model, GET_WHEEL_DELTA_WPARAM(wp), MouseEvent(wp, lp));
    default: return false;
  }
}

bool Draggable(const Control& c) {
  return c.window->layout.dragMove &&
         (c.kind() == Kind::Label || c.kind() == Kind::PicBox || c.kind() == Kind::ShapeBox);
}

// ---- what child controls tell their parent, the window or a container ----

void PickColour(NativeControl& nc) {
  Control& c = *nc.model;
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = GetAncestor(nc.hwnd, GA_ROOT);
  cc.rgbResult = c.colour == kNoColour ? 0 : c.colour;
  cc.lpCustColors = nc.owner->customColours;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  // The colour dialog's library brings half the shell with it: loaded when
  // first asked for, start-up stays quick.
  const auto choose = Sys<Bound::ChooseColorW>();
  if (choose && choose(&cc)) nc.owner->facility->UserPickedColour(c, cc.rgbResult);
}

LRESULT OnCommand(HWND hwnd, WPARAM wp, LPARAM lp) {
  NativeControl* nc = lp ? ControlOf(reinterpret_cast<HWND>(lp)) : nullptr;
  if (nc == nullptr) return DefWindowProcW(hwnd, WM_COMMAND, wp, lp);
  Facility& f = *nc->owner->facility;
  Control& c = *nc->model;
  const UINT code = HIWORD(wp);
  if (c.kind() == Kind::EditBox && code == EN_CHANGE && !nc->suppressChange) {
    f.UserEdited(c, Utf8(WindowText(nc->hwnd)));
  } else if (c.kind() == Kind::EditBox && code == EN_KILLFOCUS) {
    f.LostFocus(c);
  } else if (code == BN_CLICKED && c.kind() == Kind::CheckBox) {
    f.UserToggled(c, SendMessageW(nc->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED);
  } else if (code == BN_CLICKED && c.kind() == Kind::Button) {
    f.Raise(*c.window, c.id(), EventKind::Clicked);
  } else if (code == BN_CLICKED && c.kind() == Kind::ColorPicker) {
    PickColour(*nc);
  }
  return 0;
}

LRESULT OnDrawItem(LPARAM lp) {
  auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
  if (NativeControl* nc = ControlOf(item.hwndItem)) PaintColourPicker(*nc, item);
  return TRUE;
}

LRESULT OnControlColour(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  NativeControl* nc = ControlOf(reinterpret_cast<HWND>(lp));
  if (nc == nullptr || nc->model->layout->backColour == kNoColour) return DefWindowProcW(hwnd, msg, wp, lp);
  const HDC dc = reinterpret_cast<HDC>(wp);
  SetTextColor(dc, nc->model->textColour);
  SetBkColor(dc, nc->model->layout->backColour);
  SetDCBrushColor(dc, nc->model->layout->backColour);
  return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

// What a child control tells its parent, the window or a container control.
LRESULT OnChildNotification(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND: return OnCommand(hwnd, wp, lp);
    case WM_DRAWITEM: return OnDrawItem(lp);
    default: return OnControlColour(hwnd, msg, wp, lp);
  }
}

// ---- the top-level windows ----

// The window takes over its record from whoever created it.
void OnNcCreate(HWND hwnd, LPARAM lp) {
  auto& handed = *static_cast<std::unique_ptr<NativeWindow>*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
  NativeWindow* nw = handed.release();
  nw->hwnd = hwnd;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(nw));
}

LRESULT OnEraseBackground(const Window& w, HWND hwnd, WPARAM wp) {
  RECT r;
  GetClientRect(hwnd, &r);
  const HDC dc = reinterpret_cast<HDC>(wp);
  SetDCBrushColor(dc, w.layout.backColour == kNoColour ? GetSysColor(COLOR_BTNFACE) : w.layout.backColour);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  return 1;
}

LRESULT OnActivate(NativeWindow& nw, HWND hwnd, WPARAM wp, LPARAM lp) {
  if (LOWORD(wp) == WA_INACTIVE) {
    const HWND focus = GetFocus();
    nw.lastFocus = focus && IsChild(hwnd, focus) ? focus : nullptr;
  } else if (nw.lastFocus && IsChild(hwnd, nw.lastFocus) && IsWindowVisible(nw.lastFocus) &&
             IsWindowEnabled(nw.lastFocus)) {
    SetFocus(nw.lastFocus);  // back where the user left it
    return 0;
  }
  return DefWindowProcW(hwnd, WM_ACTIVATE, wp, lp);  // the window itself takes the focus
}

LRESULT OnPositionChanged(NativeWindow& nw, HWND hwnd) {
  if (!nw.applying) {
    RECT r;
    GetWindowRect(hwnd, &r);
    nw.facility->WindowMoved(*nw.model, r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  return 0;
}

LRESULT OnClose(NativeWindow& nw) {
  Facility& f = *nw.facility;
  Window& w = *nw.model;
  if (!f.Raise(w, 0, EventKind::CloseRequested)) f.Destroy(w);
  return 0;
}

LRESULT OnNcDestroy(NativeWindow* nw, HWND hwnd) {
  const std::unique_ptr<NativeWindow> owned(nw);  // released on return
  Facility& f = *nw->facility;
  Window& w = *nw->model;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  for (Control& c : w.controls) c.native = nullptr;
  w.native = nullptr;
  f.Unloaded(w);  // the model window is gone from here on
  // The main loop looks before each wait whether any window is left; this
  // only wakes one already waiting. A quit message would also end at once
  // any message box still to come, a failure's among them.
  if (!f.AnyLoaded()) PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
  return 0;
}

// ---- the self-drawn controls ----

// Button and mouse messages: a drag in progress, then a link's own handling,
// then the start of a drag and the events the control raises.
LRESULT OnControlMouse(NativeControl& nc, UINT msg, WPARAM wp, LPARAM lp) {
  const HWND hwnd = nc.hwnd;
  if (ContinueDrag(nc.owner->drag, hwnd, msg)) return 0;
  if (nc.model->kind() == Kind::HyperLinker && LinkMouse(nc, msg, lp)) return 0;
  if (msg == WM_LBUTTONDOWN && Draggable(*nc.model)) {
    BeginDrag(nc.owner->drag, hwnd);
    return 0;
  }
  return RaiseMouseEvent(nc, msg, wp, lp) ? 0 : DefWindowProcW(hwnd, msg, wp, lp);
}

// One painting for WM_PAINT and WM_PRINTCLIENT.
void PaintInto(NativeControl& nc, HDC target, const RECT& area) {
  const HWND hwnd = nc.hwnd;
  PaintBuffered(target, area, [&](HDC dc) {
    if (nc.model->kind() == Kind::TransLabel) {
      // Whatever lies beneath shows through: let the parent draw it first.
      POINT base, origin{0, 0};
      GetViewportOrgEx(dc, &base);
      MapWindowPoints(hwnd, GetParent(hwnd), &origin, 1);
      SetViewportOrgEx(dc, base.x - origin.x, base.y - origin.y, nullptr);
      SendMessageW(GetParent(hwnd), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
      SetViewportOrgEx(dc, base.x, base.y, nullptr);
    }
    RECT bounds;
    GetClientRect(hwnd, &bounds);
    PaintControl(nc, dc, bounds);
  });
}

LRESULT OnPaint(NativeControl& nc, UINT msg, WPARAM wp) {
  if (msg == WM_PAINT) {
    const PaintDc paint(nc.hwnd);
    PaintInto(nc, paint.get(), paint.area());
  } else {
    RECT client;
    GetClientRect(nc.hwnd, &client);
    PaintInto(nc, reinterpret_cast<HDC>(wp), client);
  }
  return 0;
}

LRESULT OnSetText(HWND hwnd, WPARAM wp, LPARAM lp) {
  const LRESULT r = DefWindowProcW(hwnd, WM_SETTEXT, wp, lp);
  InvalidateRect(hwnd, nullptr, FALSE);
  return r;
}

LRESULT OnSetCursor(const NativeControl& nc, WPARAM wp, LPARAM lp) {
  if (nc.model->kind() != Kind::HyperLinker) return DefWindowProcW(nc.hwnd, WM_SETCURSOR, wp, lp);
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
  return TRUE;
}

}  // namespace

LRESULT CALLBACK TopLevelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == WM_NCCREATE) OnNcCreate(hwnd, lp);
  NativeWindow* nw = WindowOf(hwnd);
  if (nw == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  Window& w = *nw->model;
  switch (msg) {
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: return OnChildNotification(hwnd, msg, wp, lp);
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: return ContinueDrag(nw->drag, hwnd, msg) ? 0 : DefWindowProcW(hwnd, msg, wp, lp);
    case WM_LBUTTONDOWN:
      if (w.layout.dragMove) BeginDrag(nw->drag, hwnd);
      return 0;
    case WM_ERASEBKGND: return OnEraseBackground(w, hwnd, wp);
    case WM_TIMER: nw->facility->TimerFired(w, static_cast<uint32_t>(wp)); return 0;
    case WM_ACTIVATE: return OnActivate(*nw, hwnd, wp, lp);
    case WM_WINDOWPOSCHANGED: return OnPositionChanged(*nw, hwnd);
    case WM_CLOSE: return OnClose(*nw);
    case kDestroyRequest: DestroyWindow(hwnd); return 0;
    case WM_NCDESTROY: return OnNcDestroy(nw, hwnd);
    default: return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  NativeControl* nc = ControlOf(hwnd);
  if (nc == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    // A container passes on what its own controls tell it.
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: return OnChildNotification(hwnd, msg, wp, lp);
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONUP:
    case WM_MOUSEWHEEL:
    case WM_CAPTURECHANGED: return OnControlMouse(*nc, msg, wp, lp);
    case WM_ERASEBKGND: return 1;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(FontFor(*nc));
    case WM_PAINT:
    case WM_PRINTCLIENT: return OnPaint(*nc, msg, wp);
    case WM_SETTEXT: return OnSetText(hwnd, wp, lp);
    case WM_SETCURSOR: return OnSetCursor(*nc, wp, lp);
    default: return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

// The standard controls (buttons, check boxes, edit boxes) keep their own
// procedure; this one raises the mouse events and filters typed characters.
LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  NativeControl* nc = ControlOf(hwnd);
  if (RaiseMouseEvent(*nc, msg, wp, lp)) return 0;
  const Control& c = *nc->model;
  if (msg == WM_CHAR && c.kind() == Kind::EditBox && !AcceptsChar(c.layout->input, static_cast<char32_t>(wp))) {
    MessageBeep(MB_OK);
    return 0;
  }
  return CallWindowProcW(nc->original, hwnd, msg, wp, lp);
}

}  // namespace ui
