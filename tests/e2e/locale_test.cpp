// The time must be readable whatever code page the system runs in. On a
// Western Windows (code page 1252) the laid-out face 宋体 is usually missing,
// and the font put in its place may have no Latin glyphs at all; CTest runs
// this test once as usual (936) and once under code page 1252.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "tests/e2e/session.h"

namespace e2e {
namespace {

bool Dark(COLORREF c) { return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100; }

// The label's ink cut into glyphs: runs of columns with dark pixels, each with
// the rows it spans.
struct Glyph {
  int left, right, top, bottom;
};
std::vector<Glyph> GlyphsOf(HWND label) {
  const RECT r = WindowRect(label);
  std::vector<Glyph> glyphs;
  bool inGlyph = false;
  for (int x = r.left + 2; x < r.right - 2; ++x) {
    int top = INT_MAX, bottom = -1;
    for (int y = r.top + 2; y < r.bottom - 2; ++y) {
      if (Dark(ScreenPixel(x, y))) top = std::min(top, y), bottom = std::max(bottom, y);
    }
    if (bottom < 0) {
      inGlyph = false;
      continue;
    }
    if (!inGlyph) glyphs.push_back({x, x, top, bottom});
    Glyph& g = glyphs.back();
    g.right = x, g.top = std::min(g.top, top), g.bottom = std::max(g.bottom, bottom);
    inGlyph = true;
  }
  return glyphs;
}

TEST(Locale, TimeDigitsAreLegible) {
  if (const char* expected = std::getenv("E2E_EXPECT_ACP")) {
    ASSERT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected))) << "the run is not in the code page it is meant for";
  }
  Session s;
  ASSERT_SESSION(s);
  const UINT acp = GetACP();
  EXPECT_FALSE(SaveWindowShot(s.main, L"time_label_cp" + std::to_wstring(acp)).empty());
  // The settings window's lower rows may not have painted yet, and are black
  // until they do: wait until no checkbox's or label's top corner is black.
  EXPECT_TRUE(WaitUntil([&] {
    namespace c = id::s;
    const uint32_t painted[] = {id::kTranslucent, id::kApplause, id::kWarning, id::kAutoHide, c::标签3,
                                c::标签8,         c::标签4,      c::标签5,     c::标签6};
    return std::all_of(std::begin(painted), std::end(painted), [&](uint32_t control) {
      const RECT r = WindowRect(s.Ctl(control));
      return ScreenPixel(r.right - 2, r.top + 1) != RGB(0, 0, 0);
    });
  })) << "the settings window's lower rows never painted";
  EXPECT_FALSE(SaveWindowShot(s.settingsWindow, L"settings_window_cp" + std::to_wstring(acp)).empty());
  EXPECT_EQ(Text(s.Label()), L"05-00");
  // "05-00" is five glyphs, the digits as tall as 72-point digits are, the
  // hyphen a short bar between them; an empty box in place of a missing glyph
  // is as tall as the digits, which a hyphen never is.
  const std::vector<Glyph> glyphs = GlyphsOf(s.Label());
  ASSERT_EQ(glyphs.size(), 5u);
  for (int i : {0, 1, 3, 4}) {
    const int height = glyphs[i].bottom - glyphs[i].top + 1;
    EXPECT_GT(height, 50) << "digit " << i;
    EXPECT_LT(height, 90) << "digit " << i;
  }
  const Glyph& hyphen = glyphs[2];
  EXPECT_LT(hyphen.bottom - hyphen.top + 1, 16);
  EXPECT_GT(hyphen.top, glyphs[0].top + 20);
  EXPECT_LT(hyphen.bottom, glyphs[0].bottom - 20);
}

}  // namespace
}  // namespace e2e
