// What the Win32 backend keeps beside each model window and control: handles
// and owned GDI objects, never state that routines could see.
#pragma once

#include <windows.h>
#include <olectl.h>

#include <memory>
#include <vector>

#include "ui/backend_win.h"

namespace ui {

struct NativeWindow;

struct NativeControl {
  Control* model = nullptr;
  NativeWindow* owner = nullptr;
  HWND hwnd = nullptr;
  HFONT font = nullptr;  // owned; null: the default user-interface font
  WNDPROC original = nullptr;  // standard controls we subclass
  bool suppressChange = false;  // set while the model writes an edit box's text
  bool trackingLeave = false;  // a link asked to hear when the cursor leaves it
  IPicture* picture = nullptr;  // owned; a picture box's image
  // Owned stand-ins for glyphs the control's font lacks, made on first need
  // for the font in `fallbackBase`.
  mutable std::vector<HFONT> fallbacks;
  mutable HFONT fallbackBase = nullptr;
  void DropFallbacks() const;
  ~NativeControl();
};

struct NativeWindow {
  Window* model = nullptr;
  HWND hwnd = nullptr;
  bool applying = false;  // set while a model change is being applied to the window
  HWND lastFocus = nullptr;  // the control that had the focus when the window was deactivated
  std::vector<std::unique_ptr<NativeControl>> controls;
};

inline NativeControl* NativeOf(const Control& c) { return static_cast<NativeControl*>(c.native); }
inline NativeWindow* NativeOf(const Window& w) { return static_cast<NativeWindow*>(w.native); }

// Window classes and procedures.
inline constexpr wchar_t kTopLevelClass[] = L"CountdownWindow";
inline constexpr wchar_t kStaticClass[] = L"CountdownControl";
inline constexpr wchar_t kOwnerClass[] = L"CountdownOwner";
LRESULT CALLBACK TopLevelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

Win32Backend& TheBackend();

// Drawing of the self-drawn control kinds, into any DC (double-buffered by the caller).
void PaintControl(const NativeControl& nc, HDC dc, const RECT& bounds);
void PaintColourPicker(const NativeControl& nc, const DRAWITEMSTRUCT& item);
HFONT FontFor(const NativeControl& nc);
// A GIF, JPEG or BMP image from the program's RCDATA resources, or null.
IPicture* LoadPictureResource(HINSTANCE instance, int id);

// The key-state mask of events: 1 Ctrl, 2 Shift, 4 Alt.
int KeyState(WPARAM mouseKeys);

}  // namespace ui
