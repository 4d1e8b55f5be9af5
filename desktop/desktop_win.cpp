#include "desktop/desktop_win.h"

#include <windows.h>

#include <vector>

#include "base/bound_functions_win.h"
#include "base/handles_win.h"
#include "base/message_window_win.h"
#include "desktop/edge_rules.h"
#include "ui/backend_win.h"

namespace {

// How long the worker waits between passes. Mouse activity wakes it at once;
// for a short while after, it looks again at a brisk pace (the cursor may not
// have reached its new place when the hook hears of the move, and a window
// being moved settles over a few frames); after that, only the odd look for a
// window moved some other way.
constexpr DWORD kBriskInterval = 15;
constexpr int kBriskPasses = 40;
constexpr DWORD kIdleInterval = 500;
// Without the hook nothing tells the worker of the mouse: it looks this often.
constexpr DWORD kHooklessInterval = 50;
// A request to the hook's thread: look at `running` again.
constexpr UINT kHookRequest = WM_APP + 1;
// A move the worker asks of the user-interface thread: wParam is the switch
// it was decided under, lParam the window's new top-left corner.
constexpr UINT kMoveRequest = WM_APP + 2;
constexpr wchar_t kMovesClass[] = L"CountdownEdgeMoves";
// How long the end of the process waits for the worker and the hook's thread.
constexpr DWORD kEndWait = 2000;

// What the worker and the hook's thread share with the user-interface
// thread. Made once and never released: neither thread is waited for while
// the program runs (the user-interface thread must never wait on them), so
// what they read has to outlive them, up to the end of the process, which
// waits for both to return.
struct AutoHideShared {
  AutoHideState state;
  MouseButtonState mouse;
  HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);  // mouse activity, a switch, a request
  // Counts the switches on and off. A move decided under one switch is
  // dropped when it arrives under another (a switch-off among them): whatever
  // it would have done, the switch has undone or will do again.
  std::atomic<uint32_t> epoch{0};
  std::atomic<bool> hooked{false};  // the hook is in place
  std::atomic<bool> ending{false};  // the process is ending: both threads return
  // User-interface thread only.
  HWND moves = nullptr;  // makes the worker's moves, on the window's own thread
  HANDLE worker = nullptr, hookThread = nullptr;
  DWORD hookThreadId = 0;
};

AutoHideShared* g_shared = nullptr;

// Made by the controller's constructor, before any hook or worker exists.
AutoHideShared& Shared() { return *g_shared; }

HWND WindowOf(uint32_t bits) { return HandleFromBits<HWND>(bits); }
HHOOK HookOf(uint32_t bits) { return HandleFromBits<HHOOK>(bits); }

// Looks only at which message it is, and passes every one on.
LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  AutoHideShared& shared = Shared();
  if (wParam == WM_LBUTTONDOWN) shared.mouse.leftDown = 1;
  if (wParam == WM_LBUTTONUP) shared.mouse.leftDown = 0;
  SetEvent(shared.wake);
  return Sys<Bound::CallNextHookEx>()(HookOf(shared.state.hookHandle), code, wParam, lParam);
}

// The hook's own thread. The system waits for the hook's answer on every
// mouse event of the desktop, and removes without a word a hook that is slow
// to answer: so it lives on a thread that does nothing else and never waits
// for anyone, however busy the user-interface thread may be. It installs the
// hook while edge hiding is on and removes it when it goes off; each request
// tells it to look at `running` again.
DWORD WINAPI HookThread(void*) {
  AutoHideShared& shared = Shared();
  MSG msg;
  Sys<Bound::PeekMessageA>()(&msg, nullptr, 0, 0, PM_NOREMOVE);  // its queue exists from here on
  HHOOK hook = nullptr;
  for (;;) {
    const bool wanted = shared.state.running && !shared.ending;
    if (wanted && hook == nullptr) {
      hook = Sys<Bound::SetWindowsHookExA>()(WH_MOUSE_LL, MouseHookProc, Sys<Bound::GetModuleHandleA>()(nullptr), 0);
      shared.state.hookHandle = HandleBits(hook);
    } else if (!wanted && hook != nullptr) {
      Sys<Bound::UnhookWindowsHookEx>()(hook);
      hook = nullptr;
      shared.state.hookHandle = 0;
    }
    shared.hooked = hook != nullptr;
    SetEvent(shared.wake);  // the worker's pace depends on it
    if (shared.ending || Sys<Bound::GetMessageA>()(&msg, nullptr, 0, 0) <= 0) break;
  }
  if (hook != nullptr) Sys<Bound::UnhookWindowsHookEx>()(hook);
  return 0;
}

// Handles whatever has arrived for this thread, without waiting.
void ProcessPendingMessages() {
  MSG msg;
  while (Sys<Bound::PeekMessageA>()(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
    if (Sys<Bound::GetMessageA>()(&msg, nullptr, 0, 0) <= 0) return;
    Sys<Bound::TranslateMessage>()(&msg);
    Sys<Bound::DispatchMessageA>()(&msg);
  }
}

// Waits the given time (INFINITE: until woken) on the worker's timer, or
// until woken, handling this thread's messages meanwhile. True when woken.
bool TimerWait(HANDLE timer, DWORD milliseconds, HANDLE wake) {
  bool timed = false;
  if (milliseconds != INFINITE && timer != nullptr) {
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(milliseconds) * 10000;  // relative, in 100 ns
    timed = Sys<Bound::SetWaitableTimer>()(timer, &due, 0, nullptr, nullptr, FALSE) != FALSE;
  }
  const HANDLE handles[] = {wake, timer};
  const DWORD count = timed ? 2 : 1;
  for (;;) {
    const DWORD result = Sys<Bound::MsgWaitForMultipleObjects>()(count, handles, FALSE, timed ? INFINITE : milliseconds,
                                                                 QS_ALLINPUT & 0xFF);
    if (result == WAIT_OBJECT_0 + count) {
      ProcessPendingMessages();
      continue;
    }
    // A failed wait must not turn the worker into a busy loop.
    if (result == WAIT_FAILED) Sys<Bound::Sleep>()(milliseconds == INFINITE ? kIdleInterval : milliseconds);
    return result == WAIT_OBJECT_0;
  }
}

// The primary display's size, for when the monitor cannot be asked.
ScreenRect QueryScreenSize() {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  if (!Sys<Bound::EnumDisplaySettingsA>()(nullptr, ENUM_CURRENT_SETTINGS, &mode)) {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return {0, 0, static_cast<int32_t>(mode.dmPelsWidth), static_cast<int32_t>(mode.dmPelsHeight)};
}

ScreenRect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The monitor with the most of the window on it.
ScreenRect NearestMonitor(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) return QueryScreenSize();
  return FromRect(info.rcMonitor);
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, RECT* bounds, LPARAM list) {
  reinterpret_cast<std::vector<ScreenRect>*>(list)->push_back(FromRect(*bounds));
  return TRUE;
}

// Where the window is now, the monitor whose edges apply to it, and every
// monitor of the desktop (an edge that another one continues is no edge).
struct Placement {
  ScreenRect window, monitor;
  std::vector<ScreenRect> monitors;
};

bool Locate(HWND window, const ScreenRect* lastSeen, int32_t margin, Placement& out) {
  RECT r;
  if (!Sys<Bound::GetWindowRect>()(window, &r)) return false;
  out.window = FromRect(r);
  out.monitor = HoldingMonitor(out.window, NearestMonitor(window), lastSeen, margin);
  out.monitors.clear();
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&out.monitors));
  return true;
}

void MoveNow(HWND window, ScreenPoint to) {
  SetWindowPos(window, nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The worker's moves are made by the window's own thread, and the worker
// does not wait for them: it goes on whether or not that thread is
// answering. They arrive in the order asked, and one asked for under an
// earlier switch is dropped.
void AskMove(const AutoHideShared& shared, uint32_t epoch, const ScreenRect& now, ScreenPoint to) {
  if (to == ScreenPoint{now.left, now.top}) return;
  SendNotifyMessageW(shared.moves, kMoveRequest, epoch, MAKELPARAM(to.x, to.y));  // screen coordinates fit 16 bits
}

LRESULT CALLBACK MovesProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  const auto* shared = reinterpret_cast<AutoHideShared*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg != kMoveRequest || shared == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  if (wp == shared->epoch) {
    MoveNow(WindowOf(shared->state.targetWindow), {static_cast<int16_t>(LOWORD(lp)), static_cast<int16_t>(HIWORD(lp))});
  }
  return 0;
}

// One worker for the life of the process, started by the first switch-on;
// while edge hiding is off it sleeps until woken.
DWORD WINAPI AutoHideWorker(void*) {
  AutoHideShared& shared = Shared();
  AutoHideState& state = shared.state;
  const OwnedHandle timer(Sys<Bound::CreateWaitableTimerA>()(nullptr, FALSE, nullptr));
  ScreenRect lastSeen;
  bool seen = false;
  int briskPasses = 0;
  Placement at;
  while (!shared.ending) {
    // Taken before the window is looked at: a move decided from a rectangle
    // that a switch's bring-back has changed since is dropped.
    const uint32_t epoch = shared.epoch;
    if (!state.running) {
      TimerWait(timer.get(), INFINITE, shared.wake);
      continue;
    }
    // While the left button is held (a window being dragged, perhaps this
    // one), nothing moves; its release wakes the worker for a fresh look.
    // Without the hook the button is asked for on every pass.
    const bool hooked = shared.hooked;
    const bool held = hooked ? shared.mouse.leftDown != 0 : GetAsyncKeyState(VK_LBUTTON) < 0;
    const HWND target = WindowOf(state.targetWindow);
    POINT cursor;
    if (!held && Locate(target, seen ? &lastSeen : nullptr, state.visibleMargin, at) &&
        Sys<Bound::GetCursorPos>()(&cursor)) {
      lastSeen = at.monitor;
      seen = true;
      AskMove(shared, epoch, at.window,
              EdgeRulePosition(at.window, at.monitor, {cursor.x, cursor.y}, state.visibleMargin, at.monitors));
    }
    ProcessPendingMessages();
    const DWORD pause = !hooked ? kHooklessInterval : briskPasses > 0 ? kBriskInterval : kIdleInterval;
    if (TimerWait(timer.get(), pause, shared.wake)) {
      briskPasses = kBriskPasses;
    } else if (briskPasses > 0) {
      --briskPasses;
    }
  }
  return 0;
}

}  // namespace

AutoHideController::AutoHideController() {
  if (g_shared == nullptr) {
    g_shared = new AutoHideShared;
    g_shared->moves = CreateMessageWindow(kMovesClass, MovesProc, g_shared);
  }
}

void Win32Desktop::SetWindowAlpha(ui::Window& window, uint8_t alpha) {
  const HWND hwnd = ui::Win32Backend::Handle(window);
  Sys<Bound::SetWindowLongA>()(hwnd, GWL_EXSTYLE, WS_EX_LAYERED);
  Sys<Bound::SetLayeredWindowAttributes>()(hwnd, 0, alpha, LWA_ALPHA);
  // A window that has just become layered keeps nothing of what it showed
  // (under Wine it stays black until something else repaints it).
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void AutoHideController::SetAutoHide(HWND window, int32_t margin) {
  AutoHideShared& shared = Shared();
  AutoHideState& state = shared.state;
  if (window == nullptr) {
    state.running = 0;
  } else {
    if (state.running || shared.ending) return;
    state.targetWindow = HandleBits(window);
    state.visibleMargin = EffectiveMargin(margin);
    state.running = 1;
    const auto start = Sys<Bound::CreateThreadForAutoHide>();
    if (shared.worker == nullptr) shared.worker = start(nullptr, 0, AutoHideWorker, nullptr, 0, nullptr);
    if (shared.hookThread == nullptr) {
      // It looks at `running` once its queue exists, so a request that finds
      // no queue yet is not missed.
      shared.hookThread = start(nullptr, 0, HookThread, nullptr, 0, &shared.hookThreadId);
    }
  }
  ++shared.epoch;
  if (shared.hookThreadId != 0) Sys<Bound::PostThreadMessageA>()(shared.hookThreadId, kHookRequest, 0, 0);
  SetEvent(shared.wake);
}

const AutoHideState& AutoHideController::State() const { return Shared().state; }

// On the window's own thread, which makes every move of it: a move the worker
// asked for before the switch-off arrives after this one and is dropped.
void AutoHideController::BringBackFromEdge(HWND window) {
  Placement at;
  if (!Locate(window, nullptr, kDefaultVisibleMargin, at)) return;
  const ScreenPoint to = RestoredPosition(at.window, at.monitor, at.monitors);
  if (to != ScreenPoint{at.window.left, at.window.top}) MoveNow(window, to);
}

// A process torn down while its own threads are still inside system calls
// can crash on its way out (seen under Wine), so both are told to return, the
// hook goes with its thread, and the end waits for them, briefly.
void AutoHideController::End() {
  AutoHideShared& shared = Shared();
  shared.state.running = 0;
  shared.ending = true;
  ++shared.epoch;
  SetEvent(shared.wake);
  if (shared.hookThreadId != 0) Sys<Bound::PostThreadMessageA>()(shared.hookThreadId, WM_QUIT, 0, 0);
  HANDLE threads[2];
  DWORD count = 0;
  for (HANDLE thread : {shared.worker, shared.hookThread}) {
    if (thread != nullptr) threads[count++] = thread;
  }
  if (count != 0) WaitForMultipleObjects(count, threads, TRUE, kEndWait);
}

void Win32Desktop::SetAutoHide(ui::Window* window, int32_t margin) {
  autoHide_.SetAutoHide(window ? ui::Win32Backend::Handle(*window) : nullptr, margin);
}

void Win32Desktop::BringBackFromEdge(ui::Window& window) {
  autoHide_.BringBackFromEdge(ui::Win32Backend::Handle(window));
}

void Win32Desktop::End() { autoHide_.End(); }
