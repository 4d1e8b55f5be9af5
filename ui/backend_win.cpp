// The backend proper: window classes, building the native windows from the
// model, mirroring its changes, and the loops.
#include "ui/backend_win.h"

#include <algorithm>

#include "base/encoding_win.h"
#include "ui/fonts_win.h"
#include "ui/message_dispatch_win.h"
#include "ui/native_win.h"
#include "ui/painting_win.h"

namespace ui {
namespace {

constexpr int kProgramIcon = 1;

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

void SetEditText(NativeControl& nc, const std::wstring& text) {
  if (WindowText(nc.hwnd) == text) return;
  nc.suppressChange = true;
  SetWindowTextW(nc.hwnd, text.c_str());
  nc.suppressChange = false;
}

// Builds the native control for c inside `parent`, or nothing at all.
std::unique_ptr<NativeControl> CreateControl(Control& c, NativeWindow* nw, HWND parent, HINSTANCE instance) {
  auto nc = std::make_unique<NativeControl>();
  nc->model = &c;
  nc->owner = nw;
  nc->hwnd = CreateWindowExW(ControlExStyle(c), ControlClass(c.kind()), Wide(c.text).c_str(), ControlStyle(c), c.left,
                             c.top, c.width, c.height, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c.id())),
                             instance, nullptr);
  if (nc->hwnd == nullptr) return nullptr;
  c.native = nc.get();
  SetWindowLongPtrW(nc->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(nc.get()));
  SetWindowLongW(nc->hwnd, GWL_ID, static_cast<LONG>(c.id()));  // all 32 bits of the identifier
  if (ControlClass(c.kind()) != kStaticClass) {
    nc->original =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(nc->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
  }
  if (c.kind() == Kind::CheckBox) SendMessageW(nc->hwnd, BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (c.kind() == Kind::EditBox && c.layout->maxLength > 0) {
    SendMessageW(nc->hwnd, EM_LIMITTEXT, static_cast<WPARAM>(c.layout->maxLength), 0);
  }
  if (c.kind() == Kind::PicBox && c.layout->picture) nc->picture = LoadPictureResource(instance, c.layout->picture);
  if (c.layout->font) {
    RebuildFont(*nc);
  } else {
    ApplyFont(*nc);
  }
  return nc;
}

// A class left registered by an earlier backend of this process serves as well.
bool Register(const WNDCLASSEXW& wc) {
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

int KeyState(WPARAM mouseKeys) {
  int keys = 0;
  if (mouseKeys & MK_CONTROL) keys |= 1;
  if (mouseKeys & MK_SHIFT) keys |= 2;
  if (GetKeyState(VK_MENU) < 0) keys |= 4;
  return keys;
}

Win32Backend::Win32Backend(HINSTANCE instance) : instance_(instance) {
  const HICON icon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  const HICON smallIcon =
      static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
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
  hiddenOwner_.reset(CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr));
  ready_ = ready_ && hiddenOwner_;

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  uiFont_.reset(CreateFontIndirectW(&metrics.lfMessageFont));
}

// The hidden owner goes first: windows it still owns are destroyed with it,
// and their last messages still reach the facility.
Win32Backend::~Win32Backend() {
  uiFont_.reset();
  hiddenOwner_.reset();
}

HWND Win32Backend::Handle(const Window& w) { return w.native ? NativeOf(w)->hwnd : nullptr; }
HWND Win32Backend::Handle(const Control& c) { return c.native ? NativeOf(c)->hwnd : nullptr; }

void Win32Backend::ScreenSize(int& width, int& height) {
  width = GetSystemMetrics(SM_CXSCREEN);
  height = GetSystemMetrics(SM_CYSCREEN);
}

bool Win32Backend::Create(Window& w) {
  if (!ready_) return false;
  auto owned = std::make_unique<NativeWindow>();
  NativeWindow* nw = owned.get();
  nw->model = &w;
  nw->facility = facility_;
  nw->uiFont = uiFont_.get();
  w.native = nw;
  const WindowLayout& l = w.layout;
  DWORD ex = 0;
  if (l.topmost) ex |= WS_EX_TOPMOST;
  if (l.inTaskbar) ex |= WS_EX_APPWINDOW;
  nw->applying = true;
  const HWND top =
      CreateWindowExW(ex, kTopLevelClass, Wide(l.caption).c_str(), WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN, w.left,
                      w.top, w.width, w.height, l.inTaskbar ? nullptr : hiddenOwner_.get(), nullptr, instance_, &owned);
  if (top == nullptr) {
    // A window that got as far as taking nw over has released it again; otherwise owned does.
    w.native = nullptr;
    return false;
  }
  for (Control& c : w.controls) {
    if (c.kind() == Kind::Timer) continue;
    const Control* container = c.layout->container ? w.Find(c.layout->container) : nullptr;
    const HWND parent = container && container->native ? NativeOf(*container)->hwnd : top;
    auto nc = CreateControl(c, nw, parent, instance_);
    if (nc == nullptr) {
      // A window missing one of its controls is no window to work with.
      DestroyWindow(top);  // releases nw and everything in it
      return false;
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

void Win32Backend::MirrorControl(Control& c, Prop prop) {
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

void Win32Backend::MirrorWindow(Window& w, WindowProp prop) {
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

uint32_t Win32Backend::PopUpMenu(Window& owner, const std::vector<MenuEntry>& entries) {
  const HWND hwnd = Handle(owner);
  const OwnedMenu owned(hwnd ? CreatePopupMenu() : nullptr);
  const HMENU menu = owned.get();
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
  const auto chosen = static_cast<size_t>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x + 3,
                     at.y + 3, 0, hwnd, nullptr));
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

}  // namespace ui
