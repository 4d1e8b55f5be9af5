#include "desktop/desktop_win.h"

#include <windows.h>

#include <atomic>
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
// What the hook heard, posted to its own thread: wParam is the mouse message.
constexpr UINT kMouseNews = WM_APP + 3;
// The worker has a move for the user-interface thread (in `wantedMove`).
constexpr UINT kMoveRequest = WM_APP + 2;
constexpr wchar_t kMovesClass[] = L"CountdownEdgeMoves";
// How long the end of the process waits for the worker and the hook's thread.
constexpr DWORD kEndWait = 2000;

}  // namespace

// What the worker and the hook's thread share with the user-interface thread;
// neither thread is waited for while the program runs. Window and hook
// handles keep to 32 bits on 64-bit Windows too.
struct AutoHideShared {
  std::atomic<int32_t> running{0};
  std::atomic<uint32_t> targetWindow{0};
  std::atomic<int32_t> visibleMargin{0};
  std::atomic<int32_t> leftDown{0};  // 1 while the left button is down anywhere on the desktop
  OwnedHandle wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};  // mouse activity, a switch, a request
  // Counts the switches on and off. A move decided under one switch is
  // dropped when it arrives under another (a switch-off among them): whatever
  // it would have done, the switch has undone or will do again.
  std::atomic<uint32_t> epoch{0};
  // The latest move the worker decided on: the switch it was decided under in
  // the high half, the window's new top-left corner in the low. One request
  // at most waits in the queue: a thread back from being busy makes the latest
  // move once, not one for each look the worker took meanwhile.
  std::atomic<uint64_t> wantedMove{0};
  std::atomic<bool> moveAsked{false};
  std::atomic<bool> hooked{false};  // the hook is in place
  std::atomic<bool> ending{false};  // edge hiding is over for good: both threads return
  HWND moves = nullptr;             // set before either thread starts
};

namespace {

HWND WindowOf(uint32_t bits) { return HandleFromBits<HWND>(bits); }

// Looks only at which message it is, and passes every one on. A low-level
// hook is handed no context, and runs on the thread that installed it: what
// it heard goes to that thread's queue, which the thread handles as soon as
// the hook has returned.
LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  Sys<Bound::PostThreadMessageA>()(GetCurrentThreadId(), kMouseNews, wParam, 0);
  return Sys<Bound::CallNextHookEx>()(nullptr, code, wParam, lParam);
}

// The hook's own thread. The system waits for the hook's answer on every
// mouse event of the desktop, and removes without a word a hook that is slow
// to answer: so it lives on a thread that does nothing else and never waits
// for anyone, however busy the user-interface thread may be. It installs the
// hook while edge hiding is on and removes it when it goes off; each request
// tells it to look at `running` again.
DWORD WINAPI HookThread(void* parameter) {
  AutoHideShared& shared = *static_cast<AutoHideShared*>(parameter);
  MSG msg{};
  Sys<Bound::PeekMessageA>()(&msg, nullptr, 0, 0, PM_NOREMOVE);  // its queue exists from here on
  HHOOK hook = nullptr;
  do {
    if (msg.message == kMouseNews) {
      if (msg.wParam == WM_LBUTTONDOWN) shared.leftDown = 1;
      if (msg.wParam == WM_LBUTTONUP) shared.leftDown = 0;
    } else {
      const bool wanted = shared.running && !shared.ending;
      if (wanted && hook == nullptr) {
        hook = Sys<Bound::SetWindowsHookExA>()(WH_MOUSE_LL, MouseHookProc, Sys<Bound::GetModuleHandleA>()(nullptr), 0);
      } else if (!wanted && hook != nullptr) {
        Sys<Bound::UnhookWindowsHookEx>()(hook);
        hook = nullptr;
      }
      shared.hooked = hook != nullptr;
    }
    SetEvent(shared.wake.get());  // mouse activity, or the worker's pace changes
  } while (!shared.ending && Sys<Bound::GetMessageA>()(&msg, nullptr, 0, 0) > 0);
  if (hook != nullptr) Sys<Bound::UnhookWindowsHookEx>()(hook);
  shared.hooked = false;
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
// answering. Each decision replaces the one still waiting, even one to stay
// put; one decided under an earlier switch is dropped.
void AskMove(AutoHideShared& shared, uint32_t epoch, const ScreenRect& now, ScreenPoint to) {
  // Screen coordinates fit 16 bits.
  shared.wantedMove = uint64_t{epoch} << 32 | uint32_t{static_cast<uint16_t>(to.x)} << 16 | static_cast<uint16_t>(to.y);
  if (to == ScreenPoint{now.left, now.top} || shared.moveAsked.exchange(true)) return;
  SendNotifyMessageW(shared.moves, kMoveRequest, 0, 0);
}

LRESULT CALLBACK MovesProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  auto* shared = reinterpret_cast<AutoHideShared*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg != kMoveRequest || shared == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  // Cleared first: a decision made from here on asks again.
  shared->moveAsked = false;
  const uint64_t move = shared->wantedMove;
  if (move >> 32 == shared->epoch) {
    MoveNow(WindowOf(shared->targetWindow), {static_cast<int16_t>(move >> 16), static_cast<int16_t>(move)});
  }
  return 0;
}

// One worker for the life of the process, started by the first switch-on;
// while edge hiding is off it sleeps until woken.
DWORD WINAPI AutoHideWorker(void* parameter) {
  AutoHideShared& shared = *static_cast<AutoHideShared*>(parameter);
  const OwnedHandle timer(Sys<Bound::CreateWaitableTimerA>()(nullptr, FALSE, nullptr));
  ScreenRect lastSeen;
  bool seen = false;
  int briskPasses = 0;
  Placement at;
  while (!shared.ending) {
    // Taken before the window is looked at: a move decided from a rectangle
    // that a switch's bring-back has changed since is dropped.
    const uint32_t epoch = shared.epoch;
    if (!shared.running) {
      TimerWait(timer.get(), INFINITE, shared.wake.get());
      continue;
    }
    // While the left button is held (a window being dragged, perhaps this
    // one), nothing moves; its release wakes the worker for a fresh look.
    // Without the hook the button is asked for on every pass.
    const bool hooked = shared.hooked;
    const bool held = hooked ? shared.leftDown != 0 : GetAsyncKeyState(VK_LBUTTON) < 0;
    const HWND target = WindowOf(shared.targetWindow);
    POINT cursor;
    if (!held && Locate(target, seen ? &lastSeen : nullptr, shared.visibleMargin, at) &&
        Sys<Bound::GetCursorPos>()(&cursor)) {
      lastSeen = at.monitor;
      seen = true;
      AskMove(shared, epoch, at.window,
              EdgeRulePosition(at.window, at.monitor, {cursor.x, cursor.y}, shared.visibleMargin, at.monitors));
    }
    ProcessPendingMessages();
    const DWORD pause = !hooked ? kHooklessInterval : briskPasses > 0 ? kBriskInterval : kIdleInterval;
    if (TimerWait(timer.get(), pause, shared.wake.get())) {
      briskPasses = kBriskPasses;
    } else if (briskPasses > 0) {
      --briskPasses;
    }
  }
  return 0;
}

}  // namespace

AutoHideController::AutoHideController()
    : shared_(std::make_unique<AutoHideShared>()), moves_(CreateMessageWindow(kMovesClass, MovesProc, shared_.get())) {
  shared_->moves = moves_.get();
}

AutoHideController::~AutoHideController() {
  // A thread that has not returned in time may still read the record.
  if (!Finish()) static_cast<void>(shared_.release());
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
  AutoHideShared& shared = *shared_;
  if (window == nullptr) {
    shared.running = 0;
  } else {
    if (shared.running || shared.ending) return;
    shared.targetWindow = HandleBits(window);
    shared.visibleMargin = EffectiveMargin(margin);
    shared.running = 1;
    const auto start = Sys<Bound::CreateThreadForAutoHide>();
    if (!worker_) worker_.reset(start(nullptr, 0, AutoHideWorker, &shared, 0, nullptr));
    if (!hookThread_) {
      // It looks at `running` once its queue exists, so a request that finds
      // no queue yet is not missed.
      hookThread_.reset(start(nullptr, 0, HookThread, &shared, 0, &hookThreadId_));
    }
  }
  ++shared.epoch;
  if (hookThreadId_ != 0) Sys<Bound::PostThreadMessageA>()(hookThreadId_, kHookRequest, 0, 0);
  SetEvent(shared.wake.get());
}

bool AutoHideController::Hooked() const { return shared_->hooked; }

// On the window's own thread, which makes every move of it: a move the worker
// asked for before the switch-off arrives after this one and is dropped.
void AutoHideController::BringBackFromEdge(HWND window) {
  Placement at;
  if (!Locate(window, nullptr, kDefaultVisibleMargin, at)) return;
  const ScreenPoint to = RestoredPosition(at.window, at.monitor, at.monitors);
  if (to != ScreenPoint{at.window.left, at.window.top}) MoveNow(window, to);
}

void AutoHideController::End() { Finish(); }

// A process torn down while its own threads are still inside system calls
// can crash on its way out (seen under Wine), so both are told to return, the
// hook goes with its thread, and the end waits for them, briefly. True when
// both have returned (or never started).
bool AutoHideController::Finish() {
  AutoHideShared& shared = *shared_;
  shared.running = 0;
  shared.ending = true;
  ++shared.epoch;
  SetEvent(shared.wake.get());
  if (hookThreadId_ != 0) Sys<Bound::PostThreadMessageA>()(hookThreadId_, WM_QUIT, 0, 0);
  HANDLE threads[2];
  DWORD count = 0;
  for (const OwnedHandle* thread : {&worker_, &hookThread_}) {
    if (*thread) threads[count++] = thread->get();
  }
  return count == 0 || WaitForMultipleObjects(count, threads, TRUE, kEndWait) < WAIT_OBJECT_0 + count;
}

void Win32Desktop::SetAutoHide(ui::Window* window, int32_t margin) {
  autoHide_.SetAutoHide(window ? ui::Win32Backend::Handle(*window) : nullptr, margin);
}

void Win32Desktop::BringBackFromEdge(ui::Window& window) {
  autoHide_.BringBackFromEdge(ui::Win32Backend::Handle(window));
}

void Win32Desktop::End() { autoHide_.End(); }
