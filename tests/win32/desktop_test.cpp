// Edge hiding on the real window system: its worker and the user-interface
// thread meet only through the moves the worker asks for.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>

#include "base/bound_functions_win.h"
#include "desktop/desktop_win.h"
#include "tests/win32/harness.h"

namespace {

using win32test::Pump;
using win32test::Rect;

// A plain window at the top edge, the cursor well away from it.
HWND WindowAtTheTop() {
  SetCursorPos(900, 600);
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"EdgeHidingTest";
  RegisterClassW(&wc);
  return CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 100, 0, 280, 90, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

TEST(EdgeHiding, ABringBackWinsOverAHideStillOnItsWay) {
  const HWND window = WindowAtTheTop();
  AutoHideController edge;
  edge.SetAutoHide(window, 0);
  // This thread is busy meanwhile, as it is during the tick at zero: the
  // worker has decided to hide the window, but the move waits for this thread.
  Sleep(600);
  EXPECT_EQ(Rect(window).top, 0);
  edge.SetAutoHide(nullptr, 0);
  edge.BringBackFromEdge(window);
  Pump(500);
  EXPECT_EQ(Rect(window).top, 0) << "hidden after edge hiding went off";
  DestroyWindow(window);
}

// Handles this thread's messages until the condition holds, for a second at most.
bool Within(const std::function<bool()>& holds) {
  for (int i = 0; i < 50 && !holds(); ++i) Pump(20);
  return holds();
}

int g_moves = 0;
LRESULT CALLBACK CountMoves(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  g_moves += msg == WM_WINDOWPOSCHANGING;
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// However long the window's thread is busy, the worker leaves it only its
// latest decision to carry out, not a move for each look it took meanwhile.
TEST(EdgeHiding, AThreadBackFromBeingBusyMakesOnlyTheLatestMove) {
  const HWND window = WindowAtTheTop();
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountMoves));
  AutoHideController edge;
  edge.SetAutoHide(window, 0);
  Sleep(700);
  g_moves = 0;
  Pump(200);
  EXPECT_EQ(Rect(window).top, 3 - 90);
  EXPECT_LE(g_moves, 2);  // a look taken while the move is under way may ask for it once more
  SetCursorPos(200, 1);
  ASSERT_TRUE(Within([&] { return Rect(window).top == 0; })) << "not shown from the strip";
  // Decided to hide it while busy, then the cursor came back onto it.
  SetCursorPos(900, 600);
  Sleep(700);
  SetCursorPos(200, 40);
  Sleep(700);
  Pump(200);
  EXPECT_EQ(Rect(window).top, 0) << "hidden under the cursor";
  edge.SetAutoHide(nullptr, 0);
  DestroyWindow(window);
}

TEST(EdgeHiding, SwitchingOffRemovesTheHookAndOnAgainPutsItBack) {
  const HWND window = WindowAtTheTop();
  AutoHideController edge;
  for (int i = 0; i < 2; ++i) {
    edge.SetAutoHide(window, 0);
    EXPECT_TRUE(Within([&] { return edge.Hooked(); })) << "no hook while on";
    edge.SetAutoHide(nullptr, 0);
    EXPECT_TRUE(Within([&] { return !edge.Hooked(); })) << "the hook stays after the switch-off";
  }
  DestroyWindow(window);
}

// Input as a mouse makes it, which the hook hears. Under Wine the cursor
// goes back to the X pointer once the input is a moment old, and only a
// SetCursorPos that moves the cursor moves that pointer: it comes first.
void Mouse(DWORD flags, POINT to = {}) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = (2 * to.x + 1) * 32768 / GetSystemMetrics(SM_CXSCREEN);
  input.mi.dy = (2 * to.y + 1) * 32768 / GetSystemMetrics(SM_CYSCREEN);
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}
void MouseTo(POINT to) {
  SetCursorPos(to.x, to.y);
  Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, to);
}

HHOOK WINAPI RefuseHook(int, HOOKPROC, HINSTANCE, DWORD) { return nullptr; }

// Without the hook nothing tells the worker of the button: it asks itself,
// for the left one as the user has the buttons.
TEST(EdgeHiding, WithoutTheHookAHeldButtonStillKeepsTheWindowWhereItIs) {
  ReplaceBound(Bound::SetWindowsHookExA, reinterpret_cast<uintptr_t>(&RefuseHook));
  const HWND window = WindowAtTheTop();
  AutoHideController edge;
  edge.SetAutoHide(window, 0);
  for (const BOOL swapped : {FALSE, TRUE}) {
    SwapMouseButton(swapped);
    SetCursorPos(900, 600);
    EXPECT_TRUE(Within([&] { return Rect(window).top == 3 - 90; })) << "not hidden";
    // Something dragged across the strip: the window stays hidden until the button goes up.
    Mouse(swapped ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    SetCursorPos(200, 1);
    Pump(400);
    EXPECT_EQ(Rect(window).top, 3 - 90) << "shown while the button was held, swapped " << swapped;
    Mouse(swapped ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(Within([&] { return Rect(window).top == 0; })) << "not shown once the button was let go";
  }
  SwapMouseButton(FALSE);
  edge.SetAutoHide(nullptr, 0);
  ReplaceBound(Bound::SetWindowsHookExA, 0);
  DestroyWindow(window);
}

// Windows takes a hook away without a word when a call of it outlasts its
// timeout; Wine never does. The stand-in keeps the hook's handle for the test
// to take it away; the worker's looks are counted by the cursor it asks for.
std::atomic<HHOOK> g_hook{nullptr};
std::atomic<int> g_installs{0}, g_looks{0};
HHOOK WINAPI KeepHook(int id, HOOKPROC procedure, HINSTANCE module, DWORD thread) {
  ++g_installs;
  return g_hook = SetWindowsHookExA(id, procedure, module, thread);
}
BOOL WINAPI CountLook(POINT* at) { return ++g_looks > 0 && GetCursorPos(at); }

TEST(EdgeHiding, TheWorkerRestsTillTheHookHearsTheMouseLeavesTheFocusAloneAndPutsBackAHookTakenAway) {
  ReplaceBound(Bound::SetWindowsHookExA, reinterpret_cast<uintptr_t>(&KeepHook));
  ReplaceBound(Bound::GetCursorPos, reinterpret_cast<uintptr_t>(&CountLook));
  const HWND window = WindowAtTheTop();
  MouseTo({900, 600});  // the X pointer too: a cursor moving unheard would make the hook suspect
  const auto hidden = [&] { return Rect(window).top == 3 - 90; };
  const auto shown = [&] { return Rect(window).top == 0; };
  const HWND box = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE, 400, 400, 200, 30, nullptr, nullptr, nullptr,
                                   nullptr);  // what the user types into
  SetForegroundWindow(box);
  SetFocus(box);
  AutoHideController edge;
  edge.SetAutoHide(window, 0);
  ASSERT_TRUE(Within(hidden));
  for (int i = 0, looks = -1; i < 10 && looks != g_looks; ++i) looks = g_looks, Pump(300);  // brisk looks over
  g_looks = 0;
  Pump(1000);
  EXPECT_LE(g_looks, 3) << "looks in a second while nothing moved";
  for (const int looks = g_looks; g_looks == looks;) Sleep(1);  // the next is half a second away
  const DWORD moved = GetTickCount();
  MouseTo({200, 1});
  EXPECT_TRUE(Within(shown));
  EXPECT_LT(GetTickCount() - moved, 250u) << "shown only at the next look";
  EXPECT_EQ(GetFocus(), box) << "a move took the focus";
  for (const bool held : {true, false}) {
    SCOPED_TRACE(held ? "taken away with the button down" : "taken away with the button up");
    const int installs = g_installs;
    MouseTo({900, 600});
    ASSERT_TRUE(Within(hidden));
    if (held) Mouse(MOUSEEVENTF_LEFTDOWN);
    Pump(200);
    UnhookWindowsHookEx(g_hook);
    if (held) Mouse(MOUSEEVENTF_LEFTUP);  // unheard: to the hook it is still down
    MouseTo({200, 1});
    EXPECT_TRUE(Within(shown));
    MouseTo({900, 600});
    EXPECT_TRUE(Within(hidden));
    EXPECT_TRUE(Within([&] { return g_installs == installs + 1; })) << "put back " << g_installs - installs << " times";
  }
  edge.SetAutoHide(nullptr, 0);
  ReplaceBound(Bound::SetWindowsHookExA, 0);
  ReplaceBound(Bound::GetCursorPos, 0);
  DestroyWindow(box);
  DestroyWindow(window);
}

int ThreadsOfThisProcess() {
  const OwnedFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int n = 0;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
    n += entry.th32OwnerProcessID == GetCurrentProcessId();
  }
  return n;
}

// In a process of its own: edge hiding is over for good once it has ended.
TEST(EdgeHidingDeathTest, TheEndReturnsOnceTheWorkerAndTheHooksThreadHaveReturned) {
  EXPECT_EXIT(
      {
        const HWND window = WindowAtTheTop();
        AutoHideController edge;
        edge.SetAutoHide(window, 0);
        Sleep(300);
        const int running = ThreadsOfThisProcess();
        edge.End();
        std::exit(ThreadsOfThisProcess() <= running - 2 ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
