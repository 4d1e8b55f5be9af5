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
// So it does while it doubts the hook.
constexpr DWORD kHooklessInterval = 50;
// The system removes a low-level hook without a word when a call of it
// outlasts its timeout (a second at most since Windows 10 1709). The worker
// tells by the mouse doing what the hook did not hear of: once the hook's
// thread has been quiet this long (what the worker sees of the cursor and
// the button may lag what the hook has just heard), a change counts as
// unheard; unheard this long again, the hook is gone, and is put back.
constexpr DWORD kNewsSettle = 100;
constexpr DWORD kUnheardLimit = 100;
// A request to the hook's thread: look at `running` again (wParam 0), or
// put back a hook the system has taken away (kReinstall).
constexpr UINT kHookRequest = WM_APP + 1;
constexpr WPARAM kReinstall = 1;
// What the hook heard, posted to its own thread: wParam is the mouse message.
constexpr UINT kMouseNews = WM_APP + 3;
// The worker has a move for the user-interface thread (in `wantedMove`).
constexpr UINT kMoveRequest = WM_APP + 2;
constexpr wchar_t kMovesClass[] = L"CountdownEdgeMoves";
// How long the end of the process waits for the worker and the hook's thread.
constexpr DWORD kEndWait = 2000;

}  // namespace

// What the worker and the hook's thread share with the user-interface thread;
// neither thread is waited for while the program runs. Window handles keep
// to 32 bits on 64-bit Windows too.
struct AutoHideShared {
  std::atomic<int32_t> running{0};
  std::atomic<uint32_t> targetWindow{0};
  std::atomic<int32_t> visibleMargin{0};
  std::atomic<int32_t> leftDown{0};  // 1 while the left button is down anywhere on the desktop
  // What the hook's thread has handled, counted: the hook's news, a request.
  std::atomic<uint32_t> heard{0};
  OwnedHandle wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};  // mouse activity, a switch, a request
  // Counts the switches on and off, from 1. A move decided under one switch
  // is dropped when it arrives under another (a switch-off among them):
  // whatever it would have done, the switch has undone or will do again.
  std::atomic<uint32_t> epoch{1};
  // The latest move the worker decided on: the window's new top-left corner
  // (x in the high half, y in the low), and the switch it was decided under,
  // which reads 0 while the worker writes a new move. One request at most
  // waits in the queue: a thread back from being busy makes the latest move
  // once, not one for each look the worker took meanwhile.
  std::atomic<uint64_t> wantedMove{0};
  std::atomic<uint32_t> wantedUnder{0};
  std::atomic<bool> moveAsked{false};
  std::atomic<bool> hooked{false};   // the hook is in place
  std::atomic<bool> ending{false};   // edge hiding is over for good: both threads return
  std::atomic<DWORD> hookThread{0};  // where requests go, once it is started
  HWND moves = nullptr;              // set before either thread starts
};

namespace {

HWND WindowOf(uint32_t bits) { return HandleFromBits<HWND>(bits); }

// The left button as the user means it: the right-hand one when the buttons
// are swapped. Windows tells the hook the buttons as swapped (Wine does not),
// but GetAsyncKeyState the physical ones.
bool LeftButtonDown() { return GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) < 0; }

// What the hook's thread and the hook call, bound before the hook is in
// place: bound from inside the hook, a name would be looked up under the
// loader lock while the whole desktop's mouse waits.
constexpr Bound kHookCalls[] = {Bound::PeekMessageA,       Bound::GetMessageA,      Bound::PostThreadMessageA,
                                Bound::CallNextHookEx,     Bound::GetModuleHandleA, Bound::SetWindowsHookExA,
                                Bound::UnhookWindowsHookEx};

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
// to answer: so it lives on a thread of raised priority that does nothing
// else and never waits for anyone, however busy the user-interface thread
// may be. It installs the hook while edge hiding is on and removes it when
// it goes off; each request tells it to look at `running` again.
DWORD WINAPI HookThread(void* parameter) {
  AutoHideShared& shared = *static_cast<AutoHideShared*>(parameter);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
  for (const Bound entry : kHookCalls) BoundAddress(entry);
  MSG msg{};
  Sys<Bound::PeekMessageA>()(&msg, nullptr, 0, 0, PM_NOREMOVE);  // its queue exists from here on
  HHOOK hook = nullptr;
  do {
    if (msg.message == kMouseNews) {
      if (msg.wParam == WM_LBUTTONDOWN) shared.leftDown = 1;
      if (msg.wParam == WM_LBUTTONUP) shared.leftDown = 0;
    } else {
      const bool wanted = shared.running && !shared.ending;
      // A hook taken away is removed once more in vain, and installed afresh.
      if (hook != nullptr && (!wanted || msg.wParam == kReinstall)) {
        Sys<Bound::UnhookWindowsHookEx>()(hook);
        hook = nullptr;
      }
      if (wanted && hook == nullptr) {
        hook = Sys<Bound::SetWindowsHookExA>()(WH_MOUSE_LL, MouseHookProc, Sys<Bound::GetModuleHandleA>()(nullptr), 0);
        // Whatever the button did while no hook heard it, it is as it is now.
        shared.leftDown = LeftButtonDown();
      }
      shared.hooked = hook != nullptr;
    }
    ++shared.heard;
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

// The primary screen, for when the monitor cannot be asked: in the
// coordinates this program gets (the display mode's pixels are the physical
// ones, which differ from them on a scaled screen).
ScreenRect QueryScreenSize() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

ScreenRect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// A monitor and its work area: the monitor with the most of the window on
// it, or the one whose rectangle this is.
bool MonitorAreas(HMONITOR monitor, ScreenRect& bounds, ScreenRect& work) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) return false;
  bounds = FromRect(info.rcMonitor);
  work = FromRect(info.rcWork);
  return true;
}

ScreenRect NearestMonitor(HWND window) {
  ScreenRect bounds, work;
  return MonitorAreas(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), bounds, work) ? bounds : QueryScreenSize();
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, RECT* bounds, LPARAM list) {
  reinterpret_cast<std::vector<ScreenRect>*>(list)->push_back(FromRect(*bounds));
  return TRUE;
}

// Where the window is now, the monitor whose edges apply to it with its work
// area, and every monitor of the desktop (an edge that another one
// continues is no edge).
struct Placement {
  ScreenRect window, monitor, work;
  std::vector<ScreenRect> monitors;
};

bool Locate(HWND window, const ScreenRect* lastSeen, int32_t margin, Placement& out) {
  RECT r;
  if (!Sys<Bound::GetWindowRect>()(window, &r)) return false;
  out.window = FromRect(r);
  out.monitor = HoldingMonitor(out.window, NearestMonitor(window), lastSeen, margin);
  const RECT m{out.monitor.left, out.monitor.top, out.monitor.right, out.monitor.bottom};
  ScreenRect bounds;
  if (!MonitorAreas(MonitorFromRect(&m, MONITOR_DEFAULTTONEAREST), bounds, out.work) || bounds != out.monitor) {
    out.work = out.monitor;  // no word of a taskbar
  }
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
  shared.wantedUnder = 0;
  shared.wantedMove = uint64_t{static_cast<uint32_t>(to.x)} << 32 | static_cast<uint32_t>(to.y);
  shared.wantedUnder = epoch;
  if (to == ScreenPoint{now.left, now.top} || shared.moveAsked.exchange(true)) return;
  // A request that did not go is asked for again by the next decision.
  if (!SendNotifyMessageW(shared.moves, kMoveRequest, 0, 0)) shared.moveAsked = false;
}

LRESULT CALLBACK MovesProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  auto* shared = reinterpret_cast<AutoHideShared*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg != kMoveRequest || shared == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  // Cleared first: a decision made from here on asks again.
  shared->moveAsked = false;
  const uint32_t under = shared->wantedUnder;
  const uint64_t move = shared->wantedMove;
  // The switch it was decided under is still on, and it was not being
  // written over meanwhile (if it was, the new one asks again).
  if (under == shared->epoch && shared->wantedUnder == under) {
    MoveNow(WindowOf(shared->targetWindow), {static_cast<int32_t>(static_cast<uint32_t>(move >> 32)),
                                             static_cast<int32_t>(static_cast<uint32_t>(move))});
  }
  return 0;
}

// Whether the hook still hears the mouse, told from what the worker sees of
// the cursor and the button between the hook's news.
class HookWatch {
 public:
  enum Verdict { kHeard, kDoubted, kGone };

  Verdict Look(uint32_t heard, POINT cursor, bool button, DWORD now) {
    if (heard != heard_) {
      heard_ = heard;
      heardAt_ = now;
      unheard_ = false;
    }
    if (now - heardAt_ < kNewsSettle) {  // what was heard may not have reached the cursor yet
      cursor_ = cursor;
      button_ = button;
    } else if (!unheard_ && (cursor.x != cursor_.x || cursor.y != cursor_.y || button != button_)) {
      unheard_ = true;
      unheardAt_ = now;
    }
    if (!unheard_) return kHeard;
    if (now - unheardAt_ < kUnheardLimit) return kDoubted;
    heardAt_ = now;  // looked at afresh once it is back
    unheard_ = false;
    return kGone;
  }

 private:
  uint32_t heard_ = 0;
  DWORD heardAt_ = 0, unheardAt_ = 0;
  POINT cursor_{};
  bool button_ = false, unheard_ = false;
};

// One worker for the life of the process, started by the first switch-on;
// while edge hiding is off it sleeps until woken.
DWORD WINAPI AutoHideWorker(void* parameter) {
  AutoHideShared& shared = *static_cast<AutoHideShared*>(parameter);
  const OwnedHandle timer(Sys<Bound::CreateWaitableTimerA>()(nullptr, FALSE, nullptr));
  ScreenRect lastSeen;
  bool seen = false;
  int briskPasses = 0;
  Placement at;
  HookWatch watch;
  while (!shared.ending) {
    // Taken before the window is looked at: a move decided from a rectangle
    // that a switch's bring-back has changed since is dropped.
    const uint32_t epoch = shared.epoch;
    if (!shared.running) {
      TimerWait(timer.get(), INFINITE, shared.wake.get());
      continue;
    }
    // While the left button is held (a window being dragged, perhaps this
    // one), nothing moves; the hook tells of it, and its release wakes the
    // worker for a fresh look. Without a hook that hears, the button itself
    // is asked on every pass.
    POINT cursor;
    const bool looked = Sys<Bound::GetCursorPos>()(&cursor) != FALSE;
    const bool button = LeftButtonDown();
    bool hookHears = shared.hooked && looked;
    if (hookHears) {
      const HookWatch::Verdict verdict = watch.Look(shared.heard, cursor, button, GetTickCount());
      hookHears = verdict == HookWatch::kHeard;
      if (verdict == HookWatch::kGone) Sys<Bound::PostThreadMessageA>()(shared.hookThread, kHookRequest, kReinstall, 0);
    }
    const bool held = hookHears ? shared.leftDown != 0 : button;
    const HWND target = WindowOf(shared.targetWindow);
    if (looked && !held && Locate(target, seen ? &lastSeen : nullptr, shared.visibleMargin, at)) {
      lastSeen = at.monitor;
      seen = true;
      AskMove(
          shared, epoch, at.window,
          EdgeRulePosition(at.window, at.monitor, at.work, {cursor.x, cursor.y}, shared.visibleMargin, at.monitors));
    }
    ProcessPendingMessages();
    const DWORD pause = !hookHears ? kHooklessInterval : briskPasses > 0 ? kBriskInterval : kIdleInterval;
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
    // Without the window that makes its moves, edge hiding stays off.
    if (shared.running || shared.ending || !moves_) return;
    shared.targetWindow = HandleBits(window);
    shared.visibleMargin = EffectiveMargin(margin);
    shared.running = 1;
    const auto start = Sys<Bound::CreateThreadForAutoHide>();
    if (!worker_) worker_.reset(start(nullptr, 0, AutoHideWorker, &shared, 0, nullptr));
    if (!hookThread_) {
      // It looks at `running` once its queue exists, so a request that finds
      // no queue yet is not missed.
      DWORD id = 0;
      hookThread_.reset(start(nullptr, 0, HookThread, &shared, 0, &id));
      shared.hookThread = id;
    }
  }
  ++shared.epoch;
  if (shared.hookThread != 0) Sys<Bound::PostThreadMessageA>()(shared.hookThread, kHookRequest, 0, 0);
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
  if (shared.hookThread != 0) Sys<Bound::PostThreadMessageA>()(shared.hookThread, WM_QUIT, 0, 0);
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
