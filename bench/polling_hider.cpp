// Edge hiding done the straightforward way, for comparison with the timer's
// own: a window of the timer's size at the left edge, and a worker that reads
// the window and the cursor and moves the window by the same rules, over and
// over without a pause (only a held left button slows it, to one look every
// 500 ms), with the same low-level mouse hook. The benchmark measures the two
// side by side.
#include <windows.h>

#include <atomic>

#include "bench/plain_window.h"
#include "desktop/edge_rules.h"

namespace {

std::atomic<HWND> g_window{nullptr};
std::atomic<HHOOK> g_hook{nullptr};
std::atomic<LONG> g_leftDown{0};

LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (wParam == WM_LBUTTONDOWN) g_leftDown = 1;
  if (wParam == WM_LBUTTONUP) g_leftDown = 0;
  return CallNextHookEx(g_hook, code, wParam, lParam);
}

void ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

DWORD WINAPI Worker(void*) {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
  const ScreenRect screen{0, 0, static_cast<int32_t>(mode.dmPelsWidth), static_cast<int32_t>(mode.dmPelsHeight)};
  const HWND window = g_window;
  for (;;) {
    RECT r;
    POINT cursor;
    GetWindowRect(window, &r);
    GetCursorPos(&cursor);
    while (g_leftDown) Sleep(500);
    const ScreenRect now{r.left, r.top, r.right, r.bottom};
    const ScreenPoint to = EdgeRulePosition(now, screen, screen, {cursor.x, cursor.y}, kDefaultVisibleMargin);
    // Every rule that holds moves the window, to where it already is too.
    const bool atAnEdge = r.left <= 0 || r.top <= 0 || r.right >= screen.right || r.bottom >= screen.bottom;
    if (atAnEdge || to != ScreenPoint{r.left, r.top}) MoveWindow(window, to.x, to.y, now.width(), now.height(), TRUE);
    ProcessPendingMessages();
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  g_window = bench::OpenPlainWindow(instance, L"polling hider", WS_POPUP, WS_EX_TOPMOST, 0, 400,
                                    CreateSolidBrush(RGB(0, 255, 0)));
  if (g_window.load() == nullptr) return 1;
  CloseHandle(CreateThread(nullptr, 0, Worker, nullptr, 0, nullptr));
  g_hook = SetWindowsHookExA(WH_MOUSE_LL, HookProc, GetModuleHandleA(nullptr), 0);
  return bench::RunMessageLoop();
}
