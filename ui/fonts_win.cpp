#include "ui/fonts_win.h"

#include "base/encoding_win.h"
#include "ui/painting.h"

namespace ui {

HFONT FontFor(const NativeControl& nc) { return nc.font ? nc.font.get() : nc.owner->uiFont; }

void ApplyFont(NativeControl& nc) { SendMessageW(nc.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(nc)), TRUE); }

void RebuildFont(NativeControl& nc) {
  const FontSpec* spec = nc.model->layout->font;
  if (spec == nullptr) return;
  LOGFONTW lf{};
  if (nc.model->fontPoints > 0 || nc.font) {
    const WindowDc screen(nullptr);
    lf.lfHeight = -FontPixelHeight(nc.model->fontPoints, GetDeviceCaps(screen.get(), LOGPIXELSY));
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
  OwnedFont font(CreateFontIndirectW(&lf));
  if (!font) return;
  nc.DropFallbacks();
  nc.font = std::move(font);
  ApplyFont(nc);
}

// The faces that Windows outside China most likely has for a Chinese program
// (宋体 is missing there without the supplemental fonts), then the default GUI face.
const std::vector<OwnedFont>& Fallbacks(const NativeControl& nc, HFONT base) {
  if (nc.fallbackBase == base) return nc.fallbacks;
  nc.DropFallbacks();
  nc.fallbackBase = base;
  LOGFONTW lf{};
  if (GetObjectW(base, sizeof lf, &lf) == 0) return nc.fallbacks;
  LOGFONTW gui{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  lf.lfCharSet = DEFAULT_CHARSET;  // found by name, whatever character set they are made for
  for (const wchar_t* face : {L"SimSun", L"NSimSun", L"Microsoft YaHei", static_cast<const wchar_t*>(gui.lfFaceName)}) {
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    if (OwnedFont f(CreateFontIndirectW(&lf)); f) nc.fallbacks.push_back(std::move(f));
  }
  return nc.fallbacks;
}

}  // namespace ui
