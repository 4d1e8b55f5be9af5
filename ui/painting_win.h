// How the self-drawn controls look, drawn into any DC.
#pragma once

#include <windows.h>
#include <olectl.h>

#include "base/handles_win.h"
#include "ui/native_win.h"

namespace ui {

// Draws through an off-screen bitmap, so that the per-second update never
// flickers; straight onto the target when no bitmap can be had. paint(dc)
// draws in the target's coordinates; `area` is the part that needs it.
template <class Paint>
void PaintBuffered(HDC target, const RECT& area, Paint paint) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  const OwnedMemoryDc buffer(CreateCompatibleDC(target));
  const OwnedBitmap bitmap(buffer ? CreateCompatibleBitmap(target, width, height) : nullptr);
  if (!bitmap) {
    paint(target);
    return;
  }
  const Selection selected(buffer.get(), bitmap.get());
  SetViewportOrgEx(buffer.get(), -area.left, -area.top, nullptr);
  paint(buffer.get());
  BitBlt(target, area.left, area.top, width, height, buffer.get(), area.left, area.top, SRCCOPY);
}

// The self-drawn control kinds: labels, shapes, links and pictures.
void PaintControl(const NativeControl& nc, HDC dc, const RECT& bounds);
// An owner-drawn colour picker: a push button with a swatch and an arrow.
void PaintColourPicker(const NativeControl& nc, const DRAWITEMSTRUCT& item);
// A GIF, JPEG or BMP image from the program's RCDATA resources, or null.
ComPtr<IPicture> LoadPictureResource(HINSTANCE instance, int id);

}  // namespace ui
