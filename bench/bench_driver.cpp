// The benchmark's hands on the desktop: puts a program's window against the
// left edge and times how fast it comes back when the cursor touches the
// strip left on screen. Console program, run under Wine beside the program
// measured.
//
//   bench_driver hide <caption>          window to the left edge, cursor away, until it is hidden
//   bench_driver latency <caption> <n>   n timed shows; prints each in ms, then the median and 95th percentile
//   bench_driver close <caption>         asks the window to close
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kVisibleMargin = 3;

struct Search {
  const std::wstring* caption;
  HWND found;
};

BOOL CALLBACK Match(HWND w, LPARAM lp) {
  auto& search = *reinterpret_cast<Search*>(lp);
  wchar_t text[64] = {};
  GetWindowTextW(w, text, 64);
  if (IsWindowVisible(w) && *search.caption == text) search.found = w;
  return search.found == nullptr;
}

// A visible top-level window with this caption (a program may have hidden
// ones of the same name).
HWND WaitWindow(const std::wstring& caption) {
  for (int i = 0; i < 200; ++i) {
    Search search{&caption, nullptr};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    Sleep(50);
  }
  return nullptr;
}

// The middle of the pixel's share of 0..65535, so that either rounding lands on it.
LONG Normalise(LONG pixel, int extent) { return static_cast<LONG>(((2LL * pixel + 1) * 65536) / (2LL * extent)); }

void MoveCursor(POINT to) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = Normalise(to.x, GetSystemMetrics(SM_CXSCREEN));
  in.mi.dy = Normalise(to.y, GetSystemMetrics(SM_CYSCREEN));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

POINT Away() { return {GetSystemMetrics(SM_CXSCREEN) * 3 / 4, GetSystemMetrics(SM_CYSCREEN) / 4}; }

bool WaitLeft(HWND w, LONG left, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    RECT r;
    if (GetWindowRect(w, &r) && r.left == left) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(1);
  }
}

LONG Width(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return r.right - r.left;
}

int Hide(HWND w) {
  MoveCursor(Away());
  RECT r;
  GetWindowRect(w, &r);
  SetWindowPos(w, nullptr, 0, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (!WaitLeft(w, kVisibleMargin - Width(w), 5000)) {
    std::fprintf(stderr, "the window did not hide at the left edge\n");
    return 1;
  }
  return 0;
}

int Latency(HWND w, int tries) {
  std::vector<double> ms;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (int i = 0; i < tries; ++i) {
    if (Hide(w) != 0) return 1;
    Sleep(1500);  // long enough for any brisk pace after the last mouse move to end
    RECT r;
    GetWindowRect(w, &r);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    MoveCursor({1, (r.top + r.bottom) / 2});
    if (!WaitLeft(w, 0, 5000)) {
      std::fprintf(stderr, "the window did not come back\n");
      return 1;
    }
    QueryPerformanceCounter(&end);
    ms.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    std::printf("show %d: %.1f ms\n", i + 1, ms.back());
  }
  std::sort(ms.begin(), ms.end());
  // Nearest rank: with 20 tries the 95th percentile is the 19th value.
  const auto rank = [&](double p) { return ms[static_cast<size_t>(std::max(1.0, p * static_cast<double>(ms.size()) + 0.999)) - 1]; };
  std::printf("median %.1f\np95 %.1f\n", rank(0.5), rank(0.95));
  return 0;
}

}  // namespace

int main() {
  // The window captions are Chinese: the arguments are taken as the system
  // gave them, not through the code page.
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc < 3) {
    std::fprintf(stderr, "usage: bench_driver hide|latency|close <caption> [tries]\n");
    return 2;
  }
  const std::wstring command = argv[1];
  const HWND w = WaitWindow(argv[2]);
  if (w == nullptr) {
    std::fprintf(stderr, "no window with that caption\n");
    return 1;
  }
  if (command == L"hide") return Hide(w);
  if (command == L"latency") return Latency(w, argc > 3 ? _wtoi(argv[3]) : 20);
  if (command == L"close") return PostMessageW(w, WM_CLOSE, 0, 0) ? 0 : 1;
  return 2;
}
