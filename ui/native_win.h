// What the Win32 backend keeps beside each model window and control: handles
// and owned GDI objects, never state that routines could see.
#pragma once

#include <windows.h>
#include <olectl.h>

#include <memory>
#include <vector>

#include "base/handles_win.h"
#include "ui/drag_win.h"
#include "ui/facility.h"

namespace ui {

struct NativeWindow;

struct NativeControl {
  Control* model = nullptr;
  NativeWindow* owner = nullptr;
  HWND hwnd = nullptr;
  OwnedFont font;               // null: the default user-interface font
  WNDPROC original = nullptr;   // standard controls we subclass
  bool suppressChange = false;  // set while the model writes an edit box's text
  bool trackingLeave = false;   // a link asked to hear when the cursor leaves it
  ComPtr<IPicture> picture;     // a picture box's image
  // Stand-ins for glyphs the control's font lacks, made on first need for
  // the font in `fallbackBase`.
  mutable std::vector<OwnedFont> fallbacks;
  mutable HFONT fallbackBase = nullptr;
  void DropFallbacks() const {
    fallbacks.clear();
    fallbackBase = nullptr;
  }
};

// Owned by its window from WM_NCCREATE until WM_NCDESTROY, and reached
// through the window's user data; the facility and the default font are the
// backend's, which outlives every window it made.
struct NativeWindow {
  Window* model = nullptr;
  Facility* facility = nullptr;
  HFONT uiFont = nullptr;
  HWND hwnd = nullptr;
  Drag drag;
  bool applying = false;         // set while a model change is being applied to the window
  HWND lastFocus = nullptr;      // the control that had the focus when the window was deactivated
  COLORREF customColours[16]{};  // the colour dialog's own row, kept from one pick to the next
  std::vector<std::unique_ptr<NativeControl>> controls;
};

inline NativeControl* NativeOf(const Control& c) { return static_cast<NativeControl*>(c.native); }
inline NativeWindow* NativeOf(const Window& w) { return static_cast<NativeWindow*>(w.native); }
// What a window of ours keeps in GWLP_USERDATA.
inline NativeControl* ControlOf(HWND hwnd) {
  return reinterpret_cast<NativeControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}
inline NativeWindow* WindowOf(HWND hwnd) {
  return reinterpret_cast<NativeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Window classes and procedures.
inline constexpr wchar_t kTopLevelClass[] = L"CountdownWindow";
inline constexpr wchar_t kStaticClass[] = L"CountdownControl";
inline constexpr wchar_t kOwnerClass[] = L"CountdownOwner";
// Posted to a window whose destruction the model has asked for.
inline constexpr UINT kDestroyRequest = WM_APP + 1;
LRESULT CALLBACK TopLevelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

// The key-state mask of events: 1 Ctrl, 2 Shift, 4 Alt.
int KeyState(WPARAM mouseKeys);

std::wstring WindowText(HWND hwnd);

}  // namespace ui
