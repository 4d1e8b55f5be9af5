// Owners for Win32 handles: each gives back what it holds when it goes, in
// the manner of wil's unique_hdc and unique_select_object. Nothing in the
// program pairs a create with its release by hand.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

#include "base/bound_functions_win.h"

// What a handle kind holds when it holds nothing: null for most kinds,
// INVALID_HANDLE_VALUE for files and searches.
template <class Handle>
constexpr Handle NoHandle() {
  return nullptr;
}
inline HANDLE NoFileHandle() { return INVALID_HANDLE_VALUE; }

// A handle of one kind, given back with Close unless it is the kind's
// invalid value. put() hands a function that fills an out-parameter the place
// to write into, after giving back whatever was held.
template <class Handle, auto Close, auto Invalid = NoHandle<Handle>>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle h) : h_(h) {}
  Owned(Owned&& o) noexcept : h_(o.release()) {}
  Owned& operator=(Owned&& o) noexcept { return reset(o.release()), *this; }
  ~Owned() { reset(); }
  Handle get() const { return h_; }
  Handle operator->() const { return h_; }  // for COM pointers
  explicit operator bool() const { return h_ != Invalid(); }
  Handle release() { return std::exchange(h_, Invalid()); }
  void reset(Handle h = Invalid()) {
    if (h_ != Invalid()) Close(h_);
    h_ = h;
  }
  Handle* put() { return reset(), &h_; }

 private:
  Handle h_ = Invalid();
};

// Kernel objects are closed through the bound CloseHandle, as the program's
// own threads and timers always have been.
inline void CloseKernelHandle(HANDLE h) { Sys<Bound::CloseHandle>()(h); }
template <class Interface>
void ReleaseReference(Interface* p) {
  p->Release();
}

using OwnedFont = Owned<HFONT, DeleteObject>;  // GDI objects
using OwnedBitmap = Owned<HBITMAP, DeleteObject>;
using OwnedPen = Owned<HPEN, DeleteObject>;
using OwnedMemoryDc = Owned<HDC, DeleteDC>;  // from CreateCompatibleDC
using OwnedHandle = Owned<HANDLE, CloseKernelHandle>;
using OwnedFile = Owned<HANDLE, CloseKernelHandle, NoFileHandle>;  // from CreateFile, CreateToolhelp32Snapshot
using OwnedSearch = Owned<HANDLE, FindClose, NoFileHandle>;        // from FindFirstFile
using OwnedKey = Owned<HKEY, RegCloseKey>;
using OwnedGlobal = Owned<HGLOBAL, GlobalFree>;
using OwnedMenu = Owned<HMENU, DestroyMenu>;
using OwnedWindow = Owned<HWND, DestroyWindow>;  // destroyed by the thread that made it
template <class Interface>
using ComPtr = Owned<Interface*, ReleaseReference<Interface>>;  // holds one reference

// A window's (or the screen's) DC from GetDC, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// The DC BeginPaint hands a window for its WM_PAINT, ended with EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() {
    if (dc_) EndPaint(window_, &paint_);
  }
  HDC get() const { return dc_; }
  const RECT& area() const { return paint_.rcPaint; }  // what needs painting

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// An object selected into a DC until this goes, when the one before is put back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() { SelectObject(dc_, old_); }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Window and hook handles keep to 32 bits on 64-bit Windows too, so records
// that threads share hold them as 32-bit values; Windows sign-extends them.
inline uint32_t HandleBits(const void* handle) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle)); }
template <class Handle>
Handle HandleFromBits(uint32_t bits) {
  return reinterpret_cast<Handle>(static_cast<intptr_t>(static_cast<int32_t>(bits)));
}
