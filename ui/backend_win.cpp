#include "ui/backend_win.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/drawing.h"
#include "ui/native_win.h"
#include "ui/system_library_win.h"
#include "ui/text.h"
#include "ui/text_win.h"

namespace ui {
namespace {

Win32Backend* g_backend = nullptr;
constexpr UINT kDestroyRequest = WM_APP + 1;
constexpr int kProgramIcon = 1;

// A drag of a window by its client area or one of its passive controls.
struct Drag {
  HWND capture = nullptr;
  HWND root = nullptr;
  POINT cursor{};
  POINT origin{};
} g_drag;

// Where the cursor was when the message being handled was sent: by the time
// it is handled the cursor may have moved on, and a drag must follow the
// button's own positions.
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

// Esc during a drag: the window goes back where it was, as a title-bar move does.
void CancelDrag() {
  const HWND root = g_drag.root;
  const POINT origin = g_drag.origin;
  g_drag.capture = nullptr;
  ReleaseCapture();
  SetWindowPos(root, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// True when the message belonged to a drag in progress.
bool ContinueDrag(HWND hwnd, UINT msg) {
  if (g_drag.capture != hwnd) return false;
  switch (msg) {
    case WM_MOUSEMOVE: {
      const POINT now = MessageCursor();
      SetWindowPos(g_drag.root, nullptr, g_drag.origin.x + now.x - g_drag.cursor.x,
                   g_drag.origin.y + now.y - g_drag.cursor.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return true;
    }
    case WM_LBUTTONUP:
      g_drag.capture = nullptr;
      ReleaseCapture();
      return true;
    case WM_CAPTURECHANGED:
      g_drag.capture = nullptr;
      return true;
    default:
      return false;
  }
}

bool Draggable(const Control& c) {
  return c.window->layout.dragMove &&
         (c.kind() == Kind::Label || c.kind() == Kind::PicBox || c.kind() == Kind::ShapeBox);
}

Event MouseEvent(WPARAM wp, LPARAM lp) {
  return Event{.x = GET_X_LPARAM(lp), .y = GET_Y_LPARAM(lp), .keys = KeyState(GET_KEYSTATE_WPARAM(wp))};
}

Event WheelEvent(WPARAM wp, LPARAM lp) {
  Event e = MouseEvent(wp, lp);
  e.notches = GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA;  // truncates toward zero
  return e;
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

NativeControl* ControlOf(HWND hwnd) {
  return reinterpret_cast<NativeControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

NativeWindow* WindowOf(HWND hwnd) {
  return reinterpret_cast<NativeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Mouse input that any control turns into events of its own.
bool RaiseMouseEvent(NativeControl& nc, UINT msg, WPARAM wp, LPARAM lp) {
  Facility& f = TheBackend().facility();
  Window& w = *nc.model->window;
  switch (msg) {
    case WM_LBUTTONDBLCLK: f.Raise(w, nc.model->id(), EventKind::DoubleClicked, MouseEvent(wp, lp)); return false;
    case WM_RBUTTONUP: f.Raise(w, nc.model->id(), EventKind::RightButtonUp, MouseEvent(wp, lp)); return false;
    case WM_MOUSEWHEEL: return f.Raise(w, nc.model->id(), EventKind::Wheel, WheelEvent(wp, lp));
    default: return false;
  }
}

// Notifications that child controls send to their parent, whether that is the
// window itself or a container control.
LRESULT ParentNotification(UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
  handled = true;
  Facility& f = TheBackend().facility();
  switch (msg) {
    case WM_COMMAND: {
      NativeControl* nc = lp ? ControlOf(reinterpret_cast<HWND>(lp)) : nullptr;
      if (nc == nullptr) break;
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
        static COLORREF custom[16];
        CHOOSECOLORW cc{};
        cc.lStructSize = sizeof cc;
        cc.hwndOwner = GetAncestor(nc->hwnd, GA_ROOT);
        cc.rgbResult = c.colour == kNoColour ? 0 : c.colour;
        cc.lpCustColors = custom;
        cc.Flags = CC_RGBINIT | CC_FULLOPEN;
        // The colour dialog's library brings half the shell with it: loaded
        // when first asked for, start-up stays quick.
        static const auto choose = SystemFunction<decltype(&ChooseColorW)>(L"comdlg32.dll", "ChooseColorW");
        if (choose && choose(&cc)) f.UserPickedColour(c, cc.rgbResult);
      }
      return 0;
    }
    case WM_DRAWITEM: {
      auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (NativeControl* nc = ControlOf(item.hwndItem)) PaintColourPicker(*nc, item);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: {
      NativeControl* nc = ControlOf(reinterpret_cast<HWND>(lp));
      if (nc == nullptr || nc->model->layout->backColour == kNoColour) break;
      const HDC dc = reinterpret_cast<HDC>(wp);
      SetTextColor(dc, nc->model->textColour);
      SetBkColor(dc, nc->model->layout->backColour);
      SetDCBrushColor(dc, nc->model->layout->backColour);
      return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    }
    default: break;
  }
  handled = false;
  return 0;
}

// Draws through an off-screen bitmap, so that the per-second update never
// flickers; straight onto the target when no bitmap can be had. paint(dc)
// draws in the target's coordinates; `area` is the part that needs it.
template <class Paint>
void PaintBuffered(HDC target, const RECT& area, Paint paint) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  const HDC buffer = CreateCompatibleDC(target);
  const HBITMAP bitmap = buffer ? CreateCompatibleBitmap(target, width, height) : nullptr;
  if (bitmap == nullptr) {
    if (buffer) DeleteDC(buffer);
    paint(target);
    return;
  }
  const HGDIOBJ old = SelectObject(buffer, bitmap);
  SetViewportOrgEx(buffer, -area.left, -area.top, nullptr);
  paint(buffer);
  BitBlt(target, area.left, area.top, width, height, buffer, area.left, area.top, SRCCOPY);
  SelectObject(buffer, old);
  DeleteObject(bitmap);
  DeleteDC(buffer);
}

void ApplyFont(NativeControl& nc) {
  SendMessageW(nc.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(nc)), TRUE);
}

void RebuildFont(NativeControl& nc) {
  const FontSpec* spec = nc.model->layout->font;
  if (spec == nullptr) return;
  LOGFONTW lf{};
  if (nc.model->fontPoints > 0 || nc.font != nullptr) {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    lf.lfHeight = -FontPixelHeight(nc.model->fontPoints, dpi);
  } else {
    lf.lfHeight = spec->height;  // as laid out, until a size is set
  }
  lf.lfWeight = spec->weight;
  lf.lfCharSet = spec->charset;
  lf.lfOutPrecision = spec->outPrecision;
  lf.lfClipPrecision = spec->clipPrecision;
  lf.lfQuality = spec->quality;
  lf.lfPitchAndFamily = spec->pitchAndFamily;
  const std::wstring face = Wide(spec->face);
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  const HFONT font = CreateFontIndirectW(&lf);
  if (font == nullptr) return;
  nc.DropFallbacks();
  if (nc.font) DeleteObject(nc.font);
  nc.font = font;
  ApplyFont(nc);
}

// A control that other controls of its window are laid out in.
bool IsContainer(const Control& c) {
  const auto& all = c.window->controls;
  return std::any_of(all.begin(), all.end(), [&c](const Control& o) { return o.layout->container == c.id(); });
}

DWORD ControlStyle(const Control& c) {
  const ControlLayout& l = *c.layout;
  // Made visible at once: the window they are in is not shown yet.
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (c.visible ? WS_VISIBLE : 0);
  if (l.flags & kTabStop) style |= WS_TABSTOP;
  if (l.flags & kDisabled) style |= WS_DISABLED;
  switch (l.kind) {
    case Kind::Button: return style | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER;
    case Kind::CheckBox: return style | BS_AUTOCHECKBOX | BS_LEFT | BS_VCENTER;
    case Kind::ColorPicker: return style | BS_OWNERDRAW;
    case Kind::EditBox: {
      style |= ES_AUTOHSCROLL;
      style |= l.hAlign == HAlign::Centre ? ES_CENTER : l.hAlign == HAlign::Right ? ES_RIGHT : ES_LEFT;
      if (l.border == Border::SingleLine) style |= WS_BORDER;
      return style;
    }
    case Kind::ShapeBox: return style | WS_CLIPCHILDREN;
    default: return style;
  }
}

DWORD ControlExStyle(const Control& c) {
  const ControlLayout& l = *c.layout;
  // The dialog manager's own walks (arrow keys) then look inside containers
  // instead of stopping at them.
  DWORD ex = IsContainer(c) ? WS_EX_CONTROLPARENT : 0;
  switch (l.border) {
    case Border::Sunken: ex |= WS_EX_CLIENTEDGE; break;
    case Border::ShallowSunken: ex |= WS_EX_STATICEDGE; break;
    case Border::Raised: ex |= WS_EX_DLGMODALFRAME; break;
    case Border::Frame: ex |= WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME; break;
    default: break;
  }
  if (l.kind == Kind::TransLabel) ex |= WS_EX_TRANSPARENT;
  return ex;
}

const wchar_t* ControlClass(Kind kind) {
  switch (kind) {
    case Kind::Button:
    case Kind::CheckBox:
    case Kind::ColorPicker: return L"BUTTON";
    case Kind::EditBox: return L"EDIT";
    default: return kStaticClass;
  }
}

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

// A link lights up while the cursor is on it. The leave is followed with
// TrackMouseEvent, which reports it wherever the cursor goes; the capture
// would not (once the cursor is over another program's window, a captured
// link hears nothing more and would stay lit). The capture is held only while
// the button is down, so that a press and release both on the link, and only
// that, opens it. True when the message has been dealt with.
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
      if (CursorInside(hwnd, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) TheBackend().facility().LinkClicked(*nc.model);
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

void SetEditText(NativeControl& nc, const std::wstring& text) {
  if (WindowText(nc.hwnd) == text) return;
  nc.suppressChange = true;
  SetWindowTextW(nc.hwnd, text.c_str());
  nc.suppressChange = false;
}

}  // namespace

void NativeControl::DropFallbacks() const {
  for (HFONT f : fallbacks) DeleteObject(f);
  fallbacks.clear();
  fallbackBase = nullptr;
}

NativeControl::~NativeControl() {
  DropFallbacks();
  if (font) DeleteObject(font);
  if (picture) picture->Release();
}

Win32Backend& TheBackend() { return *g_backend; }

int KeyState(WPARAM mouseKeys) {
  int keys = 0;
  if (mouseKeys & MK_CONTROL) keys |= 1;
  if (mouseKeys & MK_SHIFT) keys |= 2;
  if (GetKeyState(VK_MENU) < 0) keys |= 4;
  return keys;
}

HFONT FontFor(const NativeControl& nc) { return nc.font ? nc.font : TheBackend().uiFont(); }

namespace {
// A class left registered by an earlier backend of this process serves as well.
bool Register(const WNDCLASSEXW& wc) {
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
}  // namespace

Win32Backend::Win32Backend(HINSTANCE instance) : instance_(instance) {
  g_backend = this;
  const HICON icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON, 0, 0,
                                                   LR_DEFAULTSIZE | LR_SHARED));
  const HICON smallIcon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                 GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = TopLevelProc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hIconSm = smallIcon;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.lpszClassName = kTopLevelClass;
  ready_ = Register(wc);
  wc.lpfnWndProc = StaticProc;
  wc.hIcon = wc.hIconSm = nullptr;
  wc.lpszClassName = kStaticClass;
  ready_ = Register(wc) && ready_;
  wc.style = 0;
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = kOwnerClass;
  ready_ = Register(wc) && ready_;
  hiddenOwner_ = CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  ready_ = ready_ && hiddenOwner_ != nullptr;

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  uiFont_ = CreateFontIndirectW(&metrics.lfMessageFont);
}

Win32Backend::~Win32Backend() {
  if (uiFont_) DeleteObject(uiFont_);
  if (hiddenOwner_) DestroyWindow(hiddenOwner_);
  g_backend = nullptr;
}

HWND Win32Backend::Handle(const Window& w) { return w.native ? NativeOf(w)->hwnd : nullptr; }
HWND Win32Backend::Handle(const Control& c) { return c.native ? NativeOf(c)->hwnd : nullptr; }

void Win32Backend::ScreenSize(int& width, int& height) {
  width = GetSystemMetrics(SM_CXSCREEN);
  height = GetSystemMetrics(SM_CYSCREEN);
}

bool Win32Backend::Create(Window& w) {
  if (!ready_) return false;
  auto* nw = new NativeWindow;
  nw->model = &w;
  w.native = nw;
  const WindowLayout& l = w.layout;
  DWORD ex = 0;
  if (l.topmost) ex |= WS_EX_TOPMOST;
  if (l.inTaskbar) ex |= WS_EX_APPWINDOW;
  nw->applying = true;
  const HWND top = CreateWindowExW(ex, kTopLevelClass, Wide(l.caption).c_str(), WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN,
                                   w.left, w.top, w.width, w.height, l.inTaskbar ? nullptr : hiddenOwner_, nullptr,
                                   instance_, nw);
  if (top == nullptr) {
    // The window procedure has released nw if the window got as far as existing.
    if (w.native) delete nw;
    w.native = nullptr;
    return false;
  }
  for (Control& c : w.controls) {
    if (c.kind() == Kind::Timer) continue;
    auto nc = std::make_unique<NativeControl>();
    nc->model = &c;
    nc->owner = nw;
    const Control* container = c.layout->container ? w.Find(c.layout->container) : nullptr;
    const HWND parent = container && container->native ? NativeOf(*container)->hwnd : top;
    nc->hwnd = CreateWindowExW(ControlExStyle(c), ControlClass(c.kind()), Wide(c.text).c_str(), ControlStyle(c),
                               c.left, c.top, c.width, c.height, parent,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c.id())), instance_, nullptr);
    if (nc->hwnd == nullptr) {
      // A window missing one of its controls is no window to work with.
      DestroyWindow(top);  // releases nw and everything in it
      return false;
    }
    c.native = nc.get();
    SetWindowLongPtrW(nc->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(nc.get()));
    SetWindowLongW(nc->hwnd, GWL_ID, static_cast<LONG>(c.id()));  // all 32 bits of the identifier
    if (ControlClass(c.kind()) != kStaticClass) {
      nc->original = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(nc->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    }
    if (c.kind() == Kind::CheckBox) SendMessageW(nc->hwnd, BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (c.kind() == Kind::EditBox && c.layout->maxLength > 0) {
      SendMessageW(nc->hwnd, EM_LIMITTEXT, static_cast<WPARAM>(c.layout->maxLength), 0);
    }
    if (c.kind() == Kind::PicBox && c.layout->picture) nc->picture = LoadPictureResource(instance_, c.layout->picture);
    if (c.layout->font) {
      RebuildFont(*nc);
    } else {
      ApplyFont(*nc);
    }
    nw->controls.push_back(std::move(nc));
  }
  nw->applying = false;
  return true;
}

void Win32Backend::Destroy(Window& w) {
  if (NativeWindow* nw = NativeOf(w)) PostMessageW(nw->hwnd, kDestroyRequest, 0, 0);
}

int64_t Win32Backend::Now() {
  // Interrupt time leaves out the time the machine slept or hibernated: a
  // count stands still while nobody can see it, as the system's own timers do.
  ULONGLONG units = 0;  // 100 ns
  QueryUnbiasedInterruptTime(&units);
  return static_cast<int64_t>(units / 10000);
}

void Win32Backend::ArmTimer(Control& timer, int64_t milliseconds) {
  if (timer.window->native == nullptr) return;
  const HWND hwnd = NativeOf(*timer.window)->hwnd;
  const auto id = static_cast<UINT_PTR>(timer.id());
  if (milliseconds < 0) {
    KillTimer(hwnd, id);
  } else {
    // Setting the same timer again replaces its wait; each WM_TIMER sets it
    // again, for the time left to the next due instant.
    SetTimer(hwnd, id, static_cast<UINT>(std::clamp<int64_t>(milliseconds, USER_TIMER_MINIMUM, INT32_MAX)), nullptr);
  }
}

void Win32Backend::Update(Control& c, Prop prop) {
  NativeControl* nc = NativeOf(c);
  if (nc == nullptr) return;
  switch (prop) {
    case Prop::Text:
      if (c.kind() == Kind::EditBox) {
        SetEditText(*nc, Wide(c.text));
      } else {
        SetWindowTextW(nc->hwnd, Wide(c.text).c_str());
        InvalidateRect(nc->hwnd, nullptr, FALSE);
      }
      break;
    case Prop::Enabled: EnableWindow(nc->hwnd, c.enabled); break;
    case Prop::Checked: SendMessageW(nc->hwnd, BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED, 0); break;
    case Prop::Font: RebuildFont(*nc); [[fallthrough]];
    case Prop::PickerColour:
    case Prop::TextColour:
    case Prop::Gradient:
    case Prop::Links: InvalidateRect(nc->hwnd, nullptr, FALSE); break;
    case Prop::Size:
      SetWindowPos(nc->hwnd, nullptr, 0, 0, c.width, c.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      InvalidateRect(nc->hwnd, nullptr, FALSE);
      break;
  }
}

void Win32Backend::UpdateWindow(Window& w, WindowProp prop) {
  NativeWindow* nw = NativeOf(w);
  if (nw == nullptr || nw->hwnd == nullptr) return;
  nw->applying = true;
  switch (prop) {
    case WindowProp::Bounds:
      SetWindowPos(nw->hwnd, nullptr, w.left, w.top, w.width, w.height, SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    case WindowProp::Visible: ShowWindow(nw->hwnd, w.visible ? SW_SHOW : SW_HIDE); break;
    case WindowProp::Enabled: EnableWindow(nw->hwnd, w.enabled); break;
  }
  nw->applying = false;
}

namespace {

// One of the program's own top-level windows, or null.
HWND OurRoot(HWND hwnd) {
  const HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
  wchar_t cls[32] = L"";
  if (root == nullptr || GetClassNameW(root, cls, 32) == 0 || lstrcmpW(cls, kTopLevelClass) != 0) return nullptr;
  return root;
}

// Tab and Shift+Tab: the next tab stop of the window in layout order, from the
// control with the focus or from the window itself, round and round.
void MoveFocus(HWND root, bool backward) {
  NativeWindow* nw = WindowOf(root);
  if (nw == nullptr) return;
  const HWND focus = GetFocus();
  const Control* current = nullptr;
  for (const auto& nc : nw->controls) {
    if (nc->hwnd == focus) current = nc->model;
  }
  const Control* next = NextTabStop(*nw->model, current, backward);
  if (next == nullptr || next->native == nullptr) return;
  const HWND target = NativeOf(*next)->hwnd;
  SetFocus(target);
  if (next->kind() == Kind::EditBox) SendMessageW(target, EM_SETSEL, 0, -1);  // as dialogs do
}

bool IsKey(const MSG& msg, WPARAM key) { return msg.message == WM_KEYDOWN && msg.wParam == key; }

// Program-wide keyboard handling before a message is dispatched; true when
// the message has been handled.
bool PreTranslate(MSG& msg, const MessageDispatch& how) {
  if (IsKey(msg, VK_ESCAPE) && g_drag.capture) {
    CancelDrag();
    return true;
  }
  const HWND root = OurRoot(msg.hwnd);
  if (root == nullptr) return false;
  if (IsKey(msg, VK_ESCAPE)) {
    PostMessageW(root, WM_CLOSE, 0, 0);
    return true;
  }
  if (IsKey(msg, VK_TAB) && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
    MoveFocus(root, GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  return how.dialog(root, &msg) != FALSE;
}

}  // namespace

void DispatchUserMessage(MSG& msg, const MessageDispatch& how) {
  if (PreTranslate(msg, how)) return;
  how.translate(&msg);
  how.dispatch(&msg);
}

uint32_t Win32Backend::PopUpMenu(Window& owner, const std::vector<MenuEntry>& entries) {
  const HWND hwnd = Handle(owner);
  const HMENU menu = hwnd ? CreatePopupMenu() : nullptr;
  if (menu == nullptr) return 0;
  // Commands are numbered by position: the items' 32-bit identifiers do not
  // fit the 16 bits a menu command carries.
  for (size_t i = 0; i < entries.size(); ++i) {
    const MenuEntry& e = entries[i];
    if (e.item == 0) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      const UINT flags = MF_STRING | (e.checked ? MF_CHECKED : 0u) | (e.disabled ? MF_GRAYED : 0u);
      AppendMenuW(menu, flags, i + 1, Wide(e.caption).c_str());
    }
  }
  POINT at{};
  GetCursorPos(&at);
  SetForegroundWindow(hwnd);  // so that a click anywhere else closes the menu
  const auto chosen = static_cast<size_t>(TrackPopupMenu(
      menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x + 3, at.y + 3, 0,
      hwnd, nullptr));
  DestroyMenu(menu);
  PostMessageW(hwnd, WM_NULL, 0, 0);  // lets the menu's foreground switch settle
  return chosen >= 1 && chosen <= entries.size() ? entries[chosen - 1].item : 0;
}

int Win32Backend::RunMessageLoop() {
  MSG msg;
  while (facility_->AnyLoaded() && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchUserMessage(msg);
  return 0;
}

void Win32Backend::RunModal(Window& w) {
  if (w.native == nullptr) return;
  SetForegroundWindow(NativeOf(w)->hwnd);
  MSG msg;
  // The facility keeps w's record alive until this returns; the native side
  // is gone once the window has been destroyed.
  while (w.native != nullptr) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the main loop
      break;
    }
    DispatchUserMessage(msg);
  }
}

LRESULT CALLBACK TopLevelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == WM_NCCREATE) {
    auto* created = reinterpret_cast<CREATESTRUCTW*>(lp);
    auto* nw = static_cast<NativeWindow*>(created->lpCreateParams);
    nw->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(nw));
  }
  NativeWindow* nw = WindowOf(hwnd);
  if (nw == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  Facility& f = TheBackend().facility();
  Window& w = *nw->model;
  bool handled = false;
  const LRESULT result = ParentNotification(msg, wp, lp, handled);
  if (handled) return result;
  if (ContinueDrag(hwnd, msg)) return 0;
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd, &r);
      const HDC dc = reinterpret_cast<HDC>(wp);
      SetDCBrushColor(dc, w.layout.backColour == kNoColour ? GetSysColor(COLOR_BTNFACE) : w.layout.backColour);
      FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
      return 1;
    }
    case WM_LBUTTONDOWN:
      if (w.layout.dragMove) BeginDrag(hwnd);
      return 0;
    case WM_TIMER:
      f.TimerFired(w, static_cast<uint32_t>(wp));
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        nw->lastFocus = focus && IsChild(hwnd, focus) ? focus : nullptr;
      } else if (nw->lastFocus && IsChild(hwnd, nw->lastFocus) && IsWindowVisible(nw->lastFocus) &&
                 IsWindowEnabled(nw->lastFocus)) {
        SetFocus(nw->lastFocus);  // back where the user left it
        return 0;
      }
      break;  // the window itself takes the focus
    case WM_WINDOWPOSCHANGED: {
      if (!nw->applying) {
        RECT r;
        GetWindowRect(hwnd, &r);
        f.WindowMoved(w, r.left, r.top, r.right - r.left, r.bottom - r.top);
      }
      return 0;
    }
    case WM_CLOSE:
      if (!f.Raise(w, 0, EventKind::CloseRequested)) f.Destroy(w);
      return 0;
    case kDestroyRequest:
      DestroyWindow(hwnd);
      return 0;
    case WM_NCDESTROY: {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      for (Control& c : w.controls) c.native = nullptr;
      w.native = nullptr;
      f.Unloaded(w);  // the model window is gone from here on
      delete nw;
      if (!f.AnyLoaded()) PostQuitMessage(0);
      return 0;
    }
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  NativeControl* nc = ControlOf(hwnd);
  if (nc == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  Control& c = *nc->model;
  bool handled = false;
  const LRESULT result = ParentNotification(msg, wp, lp, handled);  // containers pass these on
  if (handled) return result;
  if (ContinueDrag(hwnd, msg)) return 0;
  if (c.kind() == Kind::HyperLinker && LinkMouse(*nc, msg, lp)) return 0;
  if (RaiseMouseEvent(*nc, msg, wp, lp)) return 0;
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(FontFor(*nc));
    case WM_PAINT:
    case WM_PRINTCLIENT: {
      PAINTSTRUCT ps{};
      const HDC target = msg == WM_PAINT ? BeginPaint(hwnd, &ps) : reinterpret_cast<HDC>(wp);
      if (msg == WM_PRINTCLIENT) GetClientRect(hwnd, &ps.rcPaint);
      PaintBuffered(target, ps.rcPaint, [&](HDC dc) {
        if (c.kind() == Kind::TransLabel) {
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
        PaintControl(*nc, dc, bounds);
      });
      if (msg == WM_PAINT) EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
      InvalidateRect(hwnd, nullptr, FALSE);
      return r;
    }
    case WM_LBUTTONDOWN:
      if (Draggable(c)) {
        BeginDrag(hwnd);
        return 0;
      }
      break;
    case WM_SETCURSOR:
      if (c.kind() == Kind::HyperLinker) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
        return TRUE;
      }
      break;
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  NativeControl* nc = ControlOf(hwnd);
  if (RaiseMouseEvent(*nc, msg, wp, lp)) return 0;
  if (msg == WM_CHAR && nc->model->kind() == Kind::EditBox &&
      !AcceptsChar(nc->model->layout->input, static_cast<char32_t>(wp))) {
    MessageBeep(MB_OK);
    return 0;
  }
  return CallWindowProcW(nc->original, hwnd, msg, wp, lp);
}

}  // namespace ui
