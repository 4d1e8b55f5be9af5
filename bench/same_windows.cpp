// The timer's two windows with nothing behind them: the same layouts opened as
// plain windows of the system's own controls, in the same order (the settings
// window shown first, then the main window with "05-00"; captions of their
// own, so that the benchmark can tell them from the timer's). What the desktop
// charges for these windows alone: the benchmark's second yardstick for
// start-up time and memory.
#include <windows.h>

#include <map>
#include <string>

#include "app/layouts.h"
#include "base/encoding_win.h"
#include "bench/plain_window.h"

namespace {

const wchar_t* ClassOf(ui::Kind kind) {
  switch (kind) {
    case ui::Kind::Button:
    case ui::Kind::CheckBox:
    case ui::Kind::ColorPicker: return L"BUTTON";
    case ui::Kind::EditBox: return L"EDIT";
    default: return L"STATIC";
  }
}

DWORD StyleOf(ui::Kind kind) {
  switch (kind) {
    case ui::Kind::Button: return BS_PUSHBUTTON;
    case ui::Kind::CheckBox: return BS_AUTOCHECKBOX;
    case ui::Kind::ColorPicker: return BS_OWNERDRAW;
    case ui::Kind::EditBox: return WS_BORDER | ES_AUTOHSCROLL;
    default: return SS_CENTER;
  }
}

HWND Open(const ui::WindowLayout& layout, const wchar_t* caption, int top, HWND owner, HINSTANCE instance) {
  const HWND window = CreateWindowExW(WS_EX_TOPMOST, bench::kPlainWindowClass, caption, WS_POPUP, 100, top,
                                      layout.width, layout.height, owner, nullptr, instance, nullptr);
  if (window == nullptr) return nullptr;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  const HFONT uiFont = CreateFontIndirectW(&metrics.lfMessageFont);
  std::map<uint32_t, HWND> made;
  for (const ui::ControlLayout& c : layout.controls) {
    if (c.kind == ui::Kind::Timer) continue;
    const HWND parent = c.container ? made[c.container] : window;
    const std::wstring text = c.id == main_window::显示时间标签 ? L"05-00" : Wide(c.caption);
    const HWND w = CreateWindowExW(0, ClassOf(c.kind), text.c_str(), WS_CHILD | WS_VISIBLE | StyleOf(c.kind), c.left,
                                   c.top, c.width, c.height, parent,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c.id)), instance, nullptr);
    if (w == nullptr) return nullptr;
    SetWindowLongW(w, GWL_ID, static_cast<LONG>(c.id));
    HFONT font = uiFont;
    if (c.font) {
      font = CreateFontW(c.font->height, 0, 0, 0, c.font->weight, FALSE, FALSE, FALSE, c.font->charset,
                         c.font->outPrecision, c.font->clipPrecision, c.font->quality, c.font->pitchAndFamily,
                         Wide(c.font->face).c_str());
    }
    SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    made[c.id] = w;
  }
  return window;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  bench::RegisterPlainWindow(instance, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  const HWND timer = Open(kMainWindowLayout, L"same windows", 100, nullptr, instance);
  const HWND settings = timer ? Open(kSettingsWindowLayout, L"same windows: settings",
                                     100 + kMainWindowLayout.height + 10, timer, instance)
                              : nullptr;
  if (settings == nullptr) return 1;
  ShowWindow(settings, SW_SHOW);
  ShowWindow(timer, SW_SHOW);
  return bench::RunMessageLoop();
}
