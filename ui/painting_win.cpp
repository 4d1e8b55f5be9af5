// How the self-drawn controls look.
#include "ui/painting_win.h"

#include <algorithm>

#include "base/bound_functions_win.h"
#include "base/encoding_win.h"
#include "ui/fonts_win.h"
#include "ui/links.h"
#include "ui/painting.h"

namespace ui {
namespace {

void Fill(HDC dc, const RECT& r, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

COLORREF Solid(Colour c, int fallback) { return c == kNoColour ? GetSysColor(fallback) : (c & 0x00FFFFFF); }

// Only the rows that intersect the clip box are filled, so even a label far
// larger than the screen costs no more than the visible part.
void PaintGradient(HDC dc, const RECT& r, std::span<const Colour> stops) {
  RECT clip;
  if (GetClipBox(dc, &clip) == NULLREGION) return;
  const int height = r.bottom - r.top;
  const int first = std::max(r.top, clip.top), last = std::min(r.bottom, clip.bottom);
  for (int y = first; y < last; ++y) {
    const RECT row{r.left, y, r.right, y + 1};
    Fill(dc, row, GradientRow(stops, height, y - r.top) & 0x00FFFFFF);
  }
}

UINT TextFormat(const ControlLayout& l, bool wrap) {
  UINT format = DT_NOPREFIX;
  format |= l.hAlign == HAlign::Centre ? DT_CENTER : l.hAlign == HAlign::Right ? DT_RIGHT : DT_LEFT;
  if (wrap) return format | DT_WORDBREAK;
  format |= DT_SINGLELINE;
  format |= l.vAlign == VAlign::Centre ? DT_VCENTER : l.vAlign == VAlign::Bottom ? DT_BOTTOM : DT_TOP;
  return format;
}

// Which characters of the text the font selected into dc has a glyph for.
std::vector<bool> Covered(HDC dc, const std::wstring& text) {
  std::vector<bool> has(text.size(), true);
  std::vector<WORD> glyphs(text.size());
  if (GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) ==
      GDI_ERROR) {
    return has;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    const bool surrogate = text[i] >= 0xD800 && text[i] <= 0xDFFF;  // not judged one half at a time
    has[i] = surrogate || glyphs[i] != 0xFFFF;
  }
  return has;
}

// One line of text in the font selected into dc. Characters that font has no
// glyph for (where the realised face is not the one asked for, and shows empty
// boxes) are drawn in the first stand-in that has them, on a common baseline.
void DrawLine(const NativeControl& nc, HDC dc, const RECT& r, const std::wstring& text, UINT format) {
  const std::vector<bool> own = Covered(dc, text);
  if ((format & DT_SINGLELINE) == 0 || std::find(own.begin(), own.end(), false) == own.end()) {
    RECT at = r;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &at, format);
    return;
  }
  const HFONT base = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
  const Selection restore(dc, base);  // whichever font each run selects, base is back at the end
  std::vector<HFONT> fontOf(text.size(), base);
  std::vector<bool> settled = own;
  for (const OwnedFont& owned : Fallbacks(nc, base)) {
    const HFONT f = owned.get();
    SelectObject(dc, f);
    const std::vector<bool> has = Covered(dc, text);
    for (size_t i = 0; i < text.size(); ++i) {
      if (!settled[i] && has[i]) fontOf[i] = f, settled[i] = true;
    }
  }
  struct Run {
    size_t begin, end;
    HFONT font;
    int width;
  };
  std::vector<Run> runs;
  int width = 0, ascent = 0, descent = 0;
  for (size_t i = 0, j; i < text.size(); i = j) {
    for (j = i; j < text.size() && fontOf[j] == fontOf[i];) ++j;
    SelectObject(dc, fontOf[i]);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data() + i, static_cast<int>(j - i), &size);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    ascent = std::max<int>(ascent, tm.tmAscent);
    descent = std::max<int>(descent, tm.tmDescent);
    runs.push_back({i, j, fontOf[i], size.cx});
    width += size.cx;
  }
  int x = r.left, top = r.top;
  if (format & DT_CENTER) x += (r.right - r.left - width) / 2;
  if (format & DT_RIGHT) x = r.right - width;
  if (format & DT_VCENTER) top += (r.bottom - r.top - ascent - descent) / 2;
  if (format & DT_BOTTOM) top = r.bottom - ascent - descent;
  const UINT align = SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
  for (const Run& run : runs) {
    SelectObject(dc, run.font);
    ExtTextOutW(dc, x, top + ascent, ETO_CLIPPED, &r, text.data() + run.begin, static_cast<UINT>(run.end - run.begin),
                nullptr);
    x += run.width;
  }
  SetTextAlign(dc, align);
}

void DrawCaption(const NativeControl& nc, HDC dc, const RECT& r, const std::wstring& text, COLORREF colour,
                 TextEffect effect, UINT format) {
  if (text.empty()) return;
  SetBkMode(dc, TRANSPARENT);
  auto draw = [&](COLORREF c, int dx, int dy) {
    const RECT at{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
    SetTextColor(dc, c);
    DrawLine(nc, dc, at, text, format);
  };
  switch (effect) {
    case TextEffect::Engraved:
      draw(RGB(255, 255, 255), 1, 1);
      draw(colour, 0, 0);
      break;
    case TextEffect::Embossed:
      draw(RGB(255, 255, 255), 0, 0);
      draw(colour, 1, 1);
      break;
    case TextEffect::Shadow:
      draw(RGB(0, 0, 0), 2, 2);
      draw(colour, 0, 0);
      break;
    case TextEffect::None: draw(colour, 0, 0); break;
  }
}

void PaintLabel(const NativeControl& nc, HDC dc, RECT r) {
  const Control& c = *nc.model;
  const ControlLayout& l = *c.layout;
  if (l.border == Border::SingleLine) {
    const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    FrameRect(dc, &r, black);
    InflateRect(&r, -1, -1);
  }
  const Colour colours[3] = {l.gradient[0], c.gradientMiddle, l.gradient[2]};
  const std::vector<Colour> stops = GradientStops(colours);
  if (l.gradientMode != GradientMode::None && stops.size() >= 2) {
    PaintGradient(dc, r, stops);
  } else {
    Fill(dc, r, Solid(l.backColour, COLOR_BTNFACE));
  }
  DrawCaption(nc, dc, r, Wide(c.text), c.textColour & 0x00FFFFFF, l.effect, TextFormat(l, false));
}

void PaintShape(const Control& c, HDC dc, const RECT& r) {
  const ControlLayout& l = *c.layout;
  Fill(dc, r, Solid(l.backColour, COLOR_BTNFACE));
  const OwnedPen pen(CreatePen(PS_SOLID, 1, l.penColour));
  const Selection penSelected(dc, pen.get());
  const Selection brushSelected(dc, GetStockObject(l.fillColour == kNoColour ? NULL_BRUSH : DC_BRUSH));
  if (l.fillColour != kNoColour) SetDCBrushColor(dc, l.fillColour);
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

void PaintPicture(const NativeControl& nc, HDC dc, const RECT& r) {
  Fill(dc, r, Solid(nc.model->layout->backColour, COLOR_BTNFACE));
  if (!nc.picture) return;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  nc.picture->get_Width(&width);
  nc.picture->get_Height(&height);
  constexpr int kHimetricPerInch = 2540;
  const Placement at = CentredPlacement(r.right - r.left, r.bottom - r.top,
                                        MulDiv(width, GetDeviceCaps(dc, LOGPIXELSX), kHimetricPerInch),
                                        MulDiv(height, GetDeviceCaps(dc, LOGPIXELSY), kHimetricPerInch));
  // Pictures keep their rows bottom-up in HIMETRIC: start at the bottom, go up.
  nc.picture->Render(dc, r.left + at.x, r.top + at.y, at.width, at.height, 0, height, width, -height, nullptr);
}

void PaintLink(const NativeControl& nc, HDC dc, const RECT& r) {
  const Control& c = *nc.model;
  const ControlLayout& l = *c.layout;
  Fill(dc, r, Solid(l.backColour, COLOR_WINDOW));
  const COLORREF colour = LinkColour(c) & 0x00FFFFFF;
  const std::string& shown = c.text.empty() ? std::string(l.address) : c.text;
  DrawCaption(nc, dc, r, Wide(shown), colour, TextEffect::None, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace

ComPtr<IPicture> LoadPictureResource(HINSTANCE instance, int id) {
  const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  const HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = found ? SizeofResource(instance, found) : 0;
  // Only the About window shows a picture: its library is loaded then.
  const auto load = Sys<Bound::OleLoadPicture>();
  if (bytes == nullptr || size == 0 || load == nullptr) return {};
  OwnedGlobal copy(GlobalAlloc(GMEM_MOVEABLE, size));
  void* target = copy ? GlobalLock(copy.get()) : nullptr;
  if (target == nullptr) return {};
  CopyMemory(target, bytes, size);
  GlobalUnlock(copy.get());
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(copy.get(), TRUE, &stream))) return {};
  copy.release();  // the stream frees it
  const ComPtr<IStream> owned(stream);
  IPicture* picture = nullptr;
  load(stream, static_cast<LONG>(size), FALSE, IID_IPicture, reinterpret_cast<void**>(&picture));
  return ComPtr<IPicture>(picture);
}

void PaintControl(const NativeControl& nc, HDC dc, const RECT& bounds) {
  const Control& c = *nc.model;
  const Selection font(dc, FontFor(nc));
  switch (c.kind()) {
    case Kind::Label: PaintLabel(nc, dc, bounds); break;
    case Kind::ShapeBox: PaintShape(c, dc, bounds); break;
    case Kind::TransLabel:
      DrawCaption(nc, dc, bounds, Wide(c.text), c.textColour, c.layout->effect, TextFormat(*c.layout, false));
      break;
    case Kind::HyperLinker: PaintLink(nc, dc, bounds); break;
    case Kind::PicBox: PaintPicture(nc, dc, bounds); break;
    default: break;
  }
}

void PaintColourPicker(const NativeControl& nc, const DRAWITEMSTRUCT& item) {
  const HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  const int arrowWidth = 14;
  RECT swatch{r.left + 4, r.top + 4, r.right - arrowWidth - 4, r.bottom - 4};
  const Colour colour = nc.model->colour;
  if (colour != kNoColour) Fill(dc, swatch, colour & 0x00FFFFFF);
  FrameRect(dc, &swatch, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  // The drop-down arrow: a small downward triangle.
  const int cx = r.right - arrowWidth / 2 - 3, cy = (r.top + r.bottom) / 2;
  const POINT arrow[3] = {{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2}};
  {
    const Selection brush(dc, GetStockObject(BLACK_BRUSH));
    const Selection pen(dc, GetStockObject(BLACK_PEN));
    Polygon(dc, arrow, 3);
  }
  if (item.itemState & ODS_FOCUS) {
    RECT focus = r;
    InflateRect(&focus, -2, -2);
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace ui
