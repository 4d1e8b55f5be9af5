// The delay between two beeps: messages keep being handled while it waits,
// close and quit messages end it and are left for the main loop, each wait
// ends on its own wake-up, and a modal loop running meanwhile cannot swallow
// it.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "app/delay_win.h"
#include "base/bound_functions_win.h"

namespace {

// While set, every thread that starts waits at its very start, before its
// routine runs, until g_release is set: a delay's worker that has not yet
// copied its request.
std::atomic<bool> g_holdNewThreads{false};
HANDLE g_release = nullptr;
// The threads of this process that have started and not yet ended.
std::atomic<int> g_threads{0};
void NTAPI HoldNewThreads(void*, DWORD reason, void*) {
  if (reason == DLL_THREAD_ATTACH && g_holdNewThreads) WaitForSingleObject(g_release, INFINITE);
  if (reason == DLL_THREAD_ATTACH) ++g_threads;
  if (reason == DLL_THREAD_DETACH) --g_threads;
}

int g_ticks = 0, g_closes = 0;

void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }

LRESULT CALLBACK CountCloses(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CLOSE) {
    ++g_closes;
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// A window of this thread that counts the close requests dispatched to it.
HWND Target() {
  static const HWND target = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = CountCloses;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DelayTestTarget";
    RegisterClassW(&wc);
    return CreateWindowW(L"DelayTestTarget", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
  }();
  return target;
}

// Milliseconds one delay took.
DWORD TimedDelay(int milliseconds) {
  Win32Delay delay;  // a delay of its own: no wake-up left over from another case
  DelayRequest request;
  const DWORD start = GetTickCount();
  delay.Wait(request, milliseconds);
  EXPECT_EQ(request.milliseconds, milliseconds);
  EXPECT_EQ(request.threadId, GetCurrentThreadId());
  return GetTickCount() - start;
}

// Posts a message to a window, or to a thread when window is null, from another thread after a while.
struct LatePost {
  HWND window;
  DWORD thread;
  UINT message;
  DWORD after;
};
DWORD WINAPI PostLate(void* parameter) {
  const LatePost& p = *static_cast<LatePost*>(parameter);
  Sleep(p.after);
  if (p.window) {
    PostMessageW(p.window, p.message, 0, 0);
  } else {
    PostThreadMessageW(p.thread, p.message, 0, 0);
  }
  return 0;
}

// Takes the next queued message of that kind, if there is one; its window through window.
bool Queued(UINT message, HWND* window = nullptr) {
  MSG msg;
  if (!PeekMessageW(&msg, reinterpret_cast<HWND>(-1), message, message, PM_REMOVE) &&
      !PeekMessageW(&msg, nullptr, message, message, PM_REMOVE)) {
    return false;
  }
  if (window) *window = msg.hwnd;
  return true;
}

TEST(PumpingDelay, KeepsHandlingMessagesWhileItWaits) {
  g_ticks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 40, CountTick);
  const DWORD took = TimedDelay(300);
  KillTimer(nullptr, timer);
  EXPECT_GE(took, 280u);
  EXPECT_LT(took, 600u);
  EXPECT_GE(g_ticks, 4);
}

TEST(PumpingDelay, ACloseOrQuitEndsTheWaitAndIsLeftForTheMainLoop) {
  // Already next in the queue: the wait ends at once and the message stays.
  PostMessageW(Target(), WM_CLOSE, 0, 0);
  EXPECT_LT(TimedDelay(1000), 150u);
  HWND window = nullptr;
  EXPECT_TRUE(Queued(WM_CLOSE, &window));
  EXPECT_EQ(window, Target());
  PostQuitMessage(3);
  EXPECT_LT(TimedDelay(1000), 150u);
  EXPECT_TRUE(Queued(WM_QUIT));

  // Arriving while it waits: taken and handled, then posted to the thread again.
  g_closes = 0;
  LatePost close{Target(), 0, WM_CLOSE, 100};
  const OwnedHandle closer(CreateThread(nullptr, 0, PostLate, &close, 0, nullptr));
  EXPECT_LT(TimedDelay(1000), 500u);
  EXPECT_EQ(g_closes, 1);
  EXPECT_TRUE(Queued(WM_CLOSE, &window));
  EXPECT_EQ(window, nullptr);
  LatePost quit{nullptr, GetCurrentThreadId(), WM_QUIT, 100};
  const OwnedHandle quitter(CreateThread(nullptr, 0, PostLate, &quit, 0, nullptr));
  EXPECT_LT(TimedDelay(1000), 500u);
  EXPECT_TRUE(Queued(WM_QUIT));
}

// A wait of 400 ms started 20 ms into another, shorter one, as a beep series
// started by a tick inside an earlier series' wait, through the same record.
struct Nested {
  Win32Delay* delay;
  DelayRequest* request;
  DWORD took;
} g_nested;
void CALLBACK InnerWait(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  const DWORD start = GetTickCount();
  g_nested.delay->Wait(*g_nested.request, 400);
  g_nested.took = GetTickCount() - start;
}

TEST(PumpingDelay, EachWaitEndsOnItsOwnWakeUp) {
  Win32Delay delay;
  DelayRequest request;
  // A wait ended by a close leaves its wake-up to come; the next wait drops it.
  PostMessageW(Target(), WM_CLOSE, 0, 0);
  delay.Wait(request, 100);
  Queued(WM_CLOSE);
  Sleep(250);
  DWORD start = GetTickCount();
  delay.Wait(request, 300);
  EXPECT_GE(GetTickCount() - start, 280u);

  // The outer wait's wake-up comes during the inner wait and ends only the outer one.
  g_nested = {&delay, &request, 0};
  SetTimer(nullptr, 0, 20, InnerWait);
  start = GetTickCount();
  delay.Wait(request, 100);
  const DWORD outer = GetTickCount() - start;
  EXPECT_GE(g_nested.took, 380u);
  EXPECT_GE(outer, g_nested.took);
  EXPECT_LT(outer, g_nested.took + 150);
}

void CALLBACK ReleaseNewThreads(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  g_holdNewThreads = false;
  SetEvent(g_release);
}
void CALLBACK HeldInnerWait(HWND, UINT, UINT_PTR timer, DWORD) {
  SetTimer(nullptr, 0, 50, ReleaseNewThreads);
  InnerWait(nullptr, 0, timer, 0);
}

TEST(PumpingDelay, ANestedWaitLeavesAnEarlierWorkersRequestAlone) {
  Win32Delay delay;
  DelayRequest request;
  // Bound now, with what it closes its workers' handles with: a held thread
  // holds the loader's lock too.
  delay.Wait(request, 10);
  BoundAddress(Bound::CloseHandle);
  // Should a wake-up go astray, this ends the wait instead of leaving the test hanging.
  LatePost watchdog{nullptr, GetCurrentThreadId(), WM_QUIT, 2000};
  const OwnedHandle thread(CreateThread(nullptr, 0, PostLate, &watchdog, 0, nullptr));
  const OwnedHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  g_release = release.get();
  g_holdNewThreads = true;
  // The outer worker is held while the inner wait rewrites the record and
  // starts its own worker; both go once the inner wait is under way.
  g_nested = {&delay, &request, 0};
  SetTimer(nullptr, 0, 20, HeldInnerWait);
  const DWORD start = GetTickCount();
  delay.Wait(request, 100);
  const DWORD outer = GetTickCount() - start;
  EXPECT_GE(g_nested.took, 380u);
  EXPECT_LT(outer, g_nested.took + 150) << "the outer wait did not end on its own wake-up";
  WaitForSingleObject(thread.get(), INFINITE);
  Queued(WM_QUIT);
}

// The end of the process, 50 ms into a long wait: how many threads are left after it.
struct Ending {
  Win32Delay* delay;
  int threadsAfter;
} g_ending;
void CALLBACK EndTheDelay(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  g_ending.delay->End();
  g_ending.threadsAfter = g_threads;
}

TEST(PumpingDelay, ItsEndLeavesNoWorkerRunningAndNoWaitToCome) {
  Win32Delay delay;
  DelayRequest request;
  const int before = g_threads;
  g_ending = {&delay, -1};
  SetTimer(nullptr, 0, 50, EndTheDelay);
  DWORD start = GetTickCount();
  delay.Wait(request, 5000);
  EXPECT_LT(GetTickCount() - start, 1000u);
  EXPECT_EQ(g_ending.threadsAfter, before);
  start = GetTickCount();
  delay.Wait(request, 1000);
  EXPECT_LT(GetTickCount() - start, 100u);
}

// Opens a message box (a modal loop of its own) for about 400 ms.
void CALLBACK CloseBox(HWND, UINT, UINT_PTR timer, DWORD) {
  if (const HWND box = FindWindowW(nullptr, L"modal")) {
    KillTimer(nullptr, timer);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
}
void CALLBACK OpenBox(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  SetTimer(nullptr, 0, 400, CloseBox);
  MessageBoxW(nullptr, L"modal", L"modal", MB_OK);
}

TEST(PumpingDelay, ReturnsOnTimeThoughAModalLoopRanDuringIt) {
  SetTimer(nullptr, 0, 20, OpenBox);
  // Should the wake-up be lost, this ends the wait instead of leaving the test hanging.
  LatePost watchdog{nullptr, GetCurrentThreadId(), WM_QUIT, 4000};
  const OwnedHandle thread(CreateThread(nullptr, 0, PostLate, &watchdog, 0, nullptr));
  const DWORD took = TimedDelay(200);
  EXPECT_GE(took, 400u);   // the box was up that long
  EXPECT_LT(took, 1500u);  // and the wait ended once it had gone
  WaitForSingleObject(thread.get(), INFINITE);
  Queued(WM_QUIT);
}

}  // namespace

// Called for every thread that starts, before its routine (the loader runs the
// program's thread-local-storage callbacks).
extern "C" {
PIMAGE_TLS_CALLBACK g_holdNewThreadsCallback __attribute__((section(".CRT$XLB"), used)) = HoldNewThreads;
}
