// A plain top-level window for the benchmark's own programs: one class, a
// window procedure that ends the program when the window goes, a message loop.
#pragma once

#include <windows.h>

namespace bench {

inline LRESULT CALLBACK PlainWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

constexpr wchar_t kPlainWindowClass[] = L"BenchPlainWindow";

inline void RegisterPlainWindow(HINSTANCE instance, HBRUSH background) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PlainWindowProc;
  wc.hInstance = instance;
  wc.hbrBackground = background;
  wc.lpszClassName = kPlainWindowClass;
  RegisterClassW(&wc);
}

inline HWND OpenPlainWindow(HINSTANCE instance, const wchar_t* caption, DWORD style, DWORD exStyle, int x, int y,
                            HBRUSH background) {
  RegisterPlainWindow(instance, background);
  return CreateWindowExW(exStyle, kPlainWindowClass, caption, style | WS_VISIBLE, x, y, 280, 90, nullptr, nullptr,
                         instance, nullptr);
}

inline int RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

}  // namespace bench
