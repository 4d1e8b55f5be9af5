// The benchmark's hands and stopwatch on the desktop. Console program, run
// under Wine beside the programs measured.
//
//   bench_driver hide <caption>                  window to the left edge, cursor away, until it is hidden
//   bench_driver latency <caption> <n>           n timed shows from the strip: each, the median and the 95th percentile
//   bench_driver startup <n> (label|window) <exe> ...
//                                                n starts of each program, taken in turns, each from a fresh
//                                                folder, until its time label shows "05-00" (label) or until
//                                                any window of it shows (window); the median of each
//   bench_driver timing [stall ms]               presses the timer's start button and follows the count to "00-00",
//                                                holding its interface thread suspended that long half-way
//   bench_driver click <caption> <control id>    presses a button
//   bench_driver wait <caption>                  until the window shows
//   bench_driver close <caption>                 asks the window to close
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kVisibleMargin = 3;
constexpr wchar_t kTimerCaption[] = L"澜珂倒计时";
constexpr wchar_t kSettingsCaption[] = L"设置窗口";
constexpr DWORD kTimeLabel = 0x1601007D;
constexpr DWORD kStartButton = 0x160112CB;

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / frequency;
}

// Nearest rank: with 20 values the 95th percentile is the 19th.
double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<size_t>(std::max(1.0, p * static_cast<double>(values.size()) + 0.999));
  return values[std::min(rank, values.size()) - 1];
}

std::wstring Text(HWND w) {
  wchar_t text[64] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(w, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000, &copied);
  return text;
}

// A visible window by caption, by process, or a child by its identifier.
struct Search {
  const wchar_t* caption = nullptr;
  DWORD process = 0;
  DWORD id = 0;
  HWND found = nullptr;
};

BOOL CALLBACK Match(HWND w, LPARAM lp) {
  auto& search = *reinterpret_cast<Search*>(lp);
  wchar_t text[64] = {};
  GetWindowTextW(w, text, 64);
  DWORD process = 0;
  GetWindowThreadProcessId(w, &process);
  const bool matches = search.caption   ? std::wstring(search.caption) == text
                       : search.process ? process == search.process
                                        : static_cast<DWORD>(GetWindowLongW(w, GWL_ID)) == search.id;
  if (matches && (search.id != 0 || IsWindowVisible(w))) search.found = w;
  return search.found == nullptr;
}

HWND Find(Search search, HWND parent = nullptr) {
  if (parent != nullptr) {
    EnumChildWindows(parent, Match, reinterpret_cast<LPARAM>(&search));
  } else {
    EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  }
  return search.found;
}

// A visible top-level window with this caption (a program may have hidden
// ones of the same name).
HWND WaitWindow(const std::wstring& caption) {
  for (int i = 0; i < 200; ++i) {
    if (const HWND w = Find({.caption = caption.c_str()})) return w;
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
  for (int i = 0; i < tries; ++i) {
    if (Hide(w) != 0) return 1;
    Sleep(1500);  // long enough for any brisk pace after the last mouse move to end
    RECT r;
    GetWindowRect(w, &r);
    const double start = Now();
    MoveCursor({1, (r.top + r.bottom) / 2});
    if (!WaitLeft(w, 0, 5000)) {
      std::fprintf(stderr, "the window did not come back\n");
      return 1;
    }
    ms.push_back(1000 * (Now() - start));
    std::printf("show %d: %.1f ms\n", i + 1, ms.back());
  }
  std::printf("median %.1f\np95 %.1f\n", Percentile(ms, 0.5), Percentile(ms, 0.95));
  return 0;
}

struct StartTimeLook {
  DWORD process;
  bool shows;
};

BOOL CALLBACK LookForStartTime(HWND w, LPARAM lp) {
  auto& look = *reinterpret_cast<StartTimeLook*>(lp);
  DWORD process = 0;
  GetWindowThreadProcessId(w, &process);
  if (process == look.process && IsWindowVisible(w)) {
    const HWND label = Find({.id = kTimeLabel}, w);
    look.shows = label != nullptr && Text(label) == L"05-00";
  }
  return !look.shows;
}

// Whether one of the process's visible windows has the time label showing "05-00".
bool ShowsStartTime(DWORD process) {
  StartTimeLook look{process, false};
  EnumWindows(LookForStartTime, reinterpret_cast<LPARAM>(&look));
  return look.shows;
}

// One start of the program from a fresh folder of its own; seconds until its
// window shows, or a negative value when it does not within half a minute.
double StartOnce(const std::wstring& exe, bool waitForLabel, int run) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder =
      std::wstring(temp) + L"bench-start-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(run);
  const std::wstring name = exe.substr(exe.find_last_of(L"\\/") + 1);
  const std::wstring copy = folder + L"\\" + name;
  CreateDirectoryW(folder.c_str(), nullptr);
  if (!CopyFileW(exe.c_str(), copy.c_str(), FALSE)) return -1;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const double start = Now();
  if (!CreateProcessW(copy.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) return -1;
  double shown = -1;
  while (Now() - start < 30) {
    if (waitForLabel ? ShowsStartTime(pi.dwProcessId) : Find({.process = pi.dwProcessId}) != nullptr) {
      shown = Now() - start;
      break;
    }
    Sleep(1);
  }
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 5000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  DeleteFileW(copy.c_str());
  DeleteFileW((folder + L"\\lkd.dll").c_str());
  RemoveDirectoryW(folder.c_str());
  return shown;
}

struct Program {
  bool waitForLabel;
  std::wstring exe;
  std::vector<double> ms;
};

int Startup(int runs, std::vector<Program> programs) {
  // One start of each that is not counted: it fills the caches, and a first
  // start after a pause may also wait for Wine's desktop process to start
  // again (it ends some seconds after the last program).
  for (size_t p = 0; p < programs.size(); ++p) {
    if (StartOnce(programs[p].exe, programs[p].waitForLabel, static_cast<int>(runs * programs.size() + p)) < 0) {
      std::fprintf(stderr, "%ls did not show its window\n", programs[p].exe.c_str());
      return 1;
    }
  }
  for (int i = 0; i < runs; ++i) {
    std::printf("start %d:", i + 1);
    // In turns, so that all meet the same machine.
    for (size_t p = 0; p < programs.size(); ++p) {
      const double t = StartOnce(programs[p].exe, programs[p].waitForLabel, static_cast<int>(i * programs.size() + p));
      if (t < 0) {
        std::fprintf(stderr, "\n%ls did not show its window\n", programs[p].exe.c_str());
        return 1;
      }
      programs[p].ms.push_back(1000 * t);
      std::printf(" %.1f ms", programs[p].ms.back());
    }
    std::printf("\n");
  }
  for (size_t p = 0; p < programs.size(); ++p) std::printf("median%zu %.1f\n", p + 1, Percentile(programs[p].ms, 0.5));
  return 0;
}

// Holds the window's thread suspended for a while, as a busy machine would.
void Stall(HWND window, DWORD ms) {
  const HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(window, nullptr));
  if (thread == nullptr || SuspendThread(thread) == static_cast<DWORD>(-1)) std::exit(1);
  Sleep(ms);
  ResumeThread(thread);
  CloseHandle(thread);
}

// Presses start and notes when the label changes, to "00-00". The press takes
// its second at once, so a count of n seconds is due n - 1 seconds after it.
int Timing(DWORD stallMs) {
  const HWND main = WaitWindow(kTimerCaption), settings = WaitWindow(kSettingsCaption);
  const HWND label = main ? Find({.id = kTimeLabel}, main) : nullptr;
  const HWND start = settings ? Find({.id = kStartButton}, settings) : nullptr;
  if (label == nullptr || start == nullptr) return 1;
  std::wstring shown = Text(label);
  const int seconds = _wtoi(shown.c_str()) * 60 + _wtoi(shown.c_str() + 3);
  const double pressed = Now();
  PostMessageW(start, BM_CLICK, 0, 0);
  std::vector<double> changes;
  bool stalled = stallMs == 0;
  while (shown != L"00-00" && Now() - pressed < seconds + 5) {
    if (!stalled && Now() - pressed >= seconds / 2.0) {
      stalled = true;
      Stall(main, stallMs);
    }
    Sleep(2);
    const std::wstring now = Text(label);
    if (now == shown) continue;
    shown = now;
    changes.push_back(Now() - pressed);
  }
  if (shown != L"00-00" || changes.size() < 3) return 1;
  double shortest = 1e9, longest = 0;
  for (size_t i = 2; i < changes.size(); ++i) {  // from the first second counted by the clock
    shortest = std::min(shortest, changes[i] - changes[i - 1]);
    longest = std::max(longest, changes[i] - changes[i - 1]);
  }
  std::printf("ticks %zu\nerror %.1f\nspread %.1f\n", changes.size(), 1000 * (changes.back() - (seconds - 1)),
              1000 * (longest - shortest));
  return 0;
}

}  // namespace

int main() {
  // The window captions are Chinese: the arguments are taken as the system
  // gave them, not through the code page.
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc < 2) {
    std::fprintf(stderr, "usage: bench_driver hide|latency|startup|timing|click|close ...\n");
    return 2;
  }
  const std::wstring command = argv[1];
  if (command == L"timing") return Timing(argc > 2 ? static_cast<DWORD>(_wtoi(argv[2])) : 0);
  if (command == L"startup" && argc >= 5 && argc % 2 == 1) {
    std::vector<Program> programs;
    for (int i = 3; i + 1 < argc; i += 2) programs.push_back({std::wstring(argv[i]) == L"label", argv[i + 1], {}});
    return Startup(_wtoi(argv[2]), programs);
  }
  if (argc < 3) return 2;
  const HWND w = WaitWindow(argv[2]);
  if (w == nullptr) {
    std::fprintf(stderr, "no window with that caption\n");
    return 1;
  }
  if (command == L"wait") return 0;
  if (command == L"hide") return Hide(w);
  if (command == L"latency") return Latency(w, argc > 3 ? _wtoi(argv[3]) : 20);
  if (command == L"click" && argc > 3) {
    const HWND button = Find({.id = static_cast<DWORD>(wcstoul(argv[3], nullptr, 0))}, w);
    return button && PostMessageW(button, BM_CLICK, 0, 0) ? 0 : 1;
  }
  if (command == L"close") return PostMessageW(w, WM_CLOSE, 0, 0) ? 0 : 1;
  return 2;
}
